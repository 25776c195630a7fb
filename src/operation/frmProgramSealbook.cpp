// The operation window's part of a locked job (Sealbook) file: the tab
// names the file's sections are made from, and the settings of the tabs.

#include "operation/frmProgram.h"

#include "TabStrip.h"

void frmProgram::DecoratedTabName(const QString& name, QString& decorated) const
{
    decorated.clear();
    for (int i = 1; i <= tabOperation->Count(); ++i) {
        const QString caption = tabOperation->Caption(i);
        if (QString(caption).remove(QLatin1Char('&')) == name) {
            decorated = caption;
            return;
        }
    }
}

QString frmProgram::LettersOnly(const QString& text)
{
    QString letters;
    for (QChar c : text)
        if ((c >= QLatin1Char('A') && c <= QLatin1Char('Z')) || (c >= QLatin1Char('a') && c <= QLatin1Char('z')))
            letters += c;
    return letters;
}

bool frmProgram::ContainsViewableCharacters(const QString& sVarData)
{
    for (QChar c : sVarData)
        if (c.unicode() >= 33 && c.unicode() <= 126)
            return true;
    return false;
}

// The settings of the tabs are not written to or read from the file yet:
// each request says so rather than pass as done.
void frmProgram::SKExport()
{
    AddStatusTextLine(QStringLiteral("The action settings cannot be written to the Sealbook file yet."));
}

void frmProgram::SKImport()
{
    AddStatusTextLine(QStringLiteral("The action settings cannot be read from the Sealbook file yet."));
}
