#include "CommonDialog.h"

#include "platform/UiService.h"

#include <QDir>

namespace {

FileDialogRequest Request(const CommonDialog& dialog)
{
    FileDialogRequest request;
    request.title = dialog.DialogTitle;
    request.filter = QtFileFilter(dialog.Filter);
    request.initialDir = dialog.InitDir.isEmpty() ? CommonDialog::HomeFolder() : dialog.InitDir;
    request.fileName = dialog.FileName;
    return request;
}

} // namespace

void CommonDialog::ShowOpen()
{
    FileName = Ui().GetOpenFileName(Request(*this));
}

void CommonDialog::ShowSave()
{
    FileName = Ui().GetSaveFileName(Request(*this));
}

QString CommonDialog::HomeFolder()
{
    return QDir::homePath() + QLatin1Char('/');
}
