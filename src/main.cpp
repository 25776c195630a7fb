#include "shell/FontWarmUp.h"
#include "shell/StartUp.h"

#include <QApplication>

int main(int argc, char** argv)
{
    StartFontWarmUp();
    QApplication app(argc, argv);
    return Main();
}
