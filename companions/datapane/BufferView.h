#pragma once

// The rows of the engine's buffer as a hex and ASCII view (or, for a device
// counted in fuses, a row of 0 and 1 per fuse), painted straight from the
// buffer: only the visible rows are read, at every paint, so a byte the
// engine changes shows at the next paint and a 64 MiB buffer costs no more
// than a small one. Edits overwrite bytes in an overlay that the buffer
// takes only when the editor is confirmed.
//
// Keys: hexadecimal digits (hex pane), printable characters (ASCII pane) or
// 0 and 1 (fuses) overwrite at the cursor; arrows, Page Up/Down, Home/End
// (Ctrl: the buffer's ends) move it; Tab switches between the panes.

#include <QAbstractScrollArea>
#include <map>

class DataBuffer;

class BufferView : public QAbstractScrollArea
{
    Q_OBJECT
    Q_PROPERTY(qint64 cursorAddress READ CursorAddress)
    Q_PROPERTY(bool asciiPane READ AsciiPane WRITE SetAsciiPane)

public:
    explicit BufferView(const DataBuffer& buffer, QWidget* parent = nullptr);

    // Addresses in hexadecimal (8 digits) or decimal.
    void SetHexAddresses(bool hex);
    // One 0 or 1 per byte (a fuse), 32 to a row, no ASCII pane.
    void SetFuseMode(bool fuses);
    bool FuseMode() const { return m_fuses; }

    qint64 Size() const;
    int BytesPerRow() const { return m_fuses ? 32 : 16; }
    // The byte as the editor shows it: the edit, else the buffer's.
    quint8 ByteAt(qint64 address) const;
    const std::map<qint64, quint8>& Edits() const { return m_edits; }
    void SetByte(qint64 address, quint8 value);

    qint64 CursorAddress() const { return m_cursor; }
    // Moves the cursor (kept inside the buffer) and scrolls it into view.
    void GoTo(qint64 address);
    bool AsciiPane() const { return m_ascii; }
    void SetAsciiPane(bool ascii);

    // The text of one row as it is painted.
    Q_INVOKABLE QString RowText(qint64 row) const;
    qint64 TopRow() const;
    int VisibleRows() const;

signals:
    void CursorMoved(qint64 address);

protected:
    // Tab switches the panes instead of moving the focus on.
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    qint64 rowCount() const;
    void updateScrollRange();
    void moveCursor(qint64 address, bool lowNibble = false);
    int addressChars() const;
    // Character column of a byte's cell in the row text.
    int hexColumn(int index) const;
    int asciiColumn(int index) const;

    const DataBuffer& m_buffer;
    std::map<qint64, quint8> m_edits;
    bool m_hexAddresses = true;
    bool m_fuses = false;
    bool m_ascii = false;
    bool m_lowNibble = false;
    qint64 m_cursor = 0;
    qint64 m_knownSize = -1;
    int m_charWidth = 8;
    int m_lineHeight = 16;
};
