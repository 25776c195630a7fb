#pragma once

#include <QString>
#include <memory>

class QPagedPaintDevice;
class QWidget;

// Where a print job goes: a printer (the default one, or one by name) or a
// PDF file, all pages or only the selected text. The print support lives in a
// plug-in of its own, loaded with the first print target, so that the
// program starts without it.
class PrintTarget
{
public:
    enum class Range { AllPages, Selection };

    virtual ~PrintTarget() = default;

    virtual void ToPdfFile(const QString& path) = 0;
    // "" keeps the default printer.
    virtual void ToPrinter(const QString& name) = 0;
    virtual void SetRange(Range range) = 0;

    // The PDF file printed to, or "" for a printer.
    virtual QString PdfFile() const = 0;
    virtual QString PrinterName() const = 0;
    virtual Range GetRange() const = 0;

    // The print dialog over owner: True when the operator confirmed. The
    // selection is offered (and proposed) when there is one; pages are not.
    virtual bool Ask(QWidget* owner, const QString& title, bool hasSelection) = 0;
    // What the job paints on.
    virtual QPagedPaintDevice* Device() = 0;
};

// A new target (the default printer, all pages), or nullptr with the reason
// when the print support cannot be loaded.
std::unique_ptr<PrintTarget> CreatePrintTarget(QString* error = nullptr);

// The plug-in's entry, found by this name.
using CreatePrintTargetFunction = PrintTarget* (*)();
inline constexpr const char* kCreatePrintTargetEntry = "TarvoCreatePrintTarget";
