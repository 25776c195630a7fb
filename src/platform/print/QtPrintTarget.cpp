// The print support: a print target on a QPrinter, with Qt's print dialog.
#include "platform/PrintTarget.h"

#include <QPrintDialog>
#include <QPrinter>

namespace {
class QtPrintTarget final : public PrintTarget
{
public:
    void ToPdfFile(const QString& path) override
    {
        m_printer.setOutputFormat(QPrinter::PdfFormat);
        m_printer.setOutputFileName(path);
    }
    void ToPrinter(const QString& name) override
    {
        m_printer.setOutputFormat(QPrinter::NativeFormat);
        if (!name.isEmpty())
            m_printer.setPrinterName(name);
    }
    void SetRange(Range range) override
    {
        m_printer.setPrintRange(range == Range::Selection ? QPrinter::Selection : QPrinter::AllPages);
    }
    QString PdfFile() const override
    {
        return m_printer.outputFormat() == QPrinter::PdfFormat ? m_printer.outputFileName() : QString();
    }
    QString PrinterName() const override { return m_printer.printerName(); }
    Range GetRange() const override
    {
        return m_printer.printRange() == QPrinter::Selection ? Range::Selection : Range::AllPages;
    }
    bool Ask(QWidget* owner, const QString& title, bool hasSelection) override
    {
        QPrintDialog dialog(&m_printer, owner);
        if (!title.isEmpty())
            dialog.setWindowTitle(title);
        dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
        dialog.setOption(QAbstractPrintDialog::PrintSelection, hasSelection);
        SetRange(hasSelection ? Range::Selection : Range::AllPages);
        return dialog.exec() == QDialog::Accepted;
    }
    QPagedPaintDevice* Device() override { return &m_printer; }

private:
    QPrinter m_printer;
};
} // namespace

extern "C" Q_DECL_EXPORT PrintTarget* TarvoCreatePrintTarget()
{
    return new QtPrintTarget;
}
