#pragma once

// The modal editor the viewer control opens (ShowEditor): the buffer view,
// go-to and find (hexadecimal bytes or text, both ways), OK and Cancel. The
// edits stay in the view's overlay; the buffer takes them in Commit, which
// the control calls only when the editor was confirmed. An address past the
// end, a text that is no address or pattern, and a pattern not found are
// told through the UI service.

#include <QDialog>

class BufferView;
class DataBuffer;
class QCheckBox;
class QLabel;
class QLineEdit;

class BufferEditor : public QDialog
{
    Q_OBJECT

public:
    BufferEditor(DataBuffer& buffer, bool hexAddresses, bool fuses, QWidget* parent = nullptr);

    BufferView* View() const { return m_view; }
    // Writes the edits into the buffer.
    void Commit();

    void GoTo_Click();
    void FindNext_Click() { find(true); }
    void FindPrevious_Click() { find(false); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void find(bool forwards);
    void showPosition(qint64 address);
    QString addressText(qint64 address) const;

    DataBuffer& m_buffer;
    bool m_hexAddresses;
    BufferView* m_view;
    QLineEdit* m_goTo;
    QLineEdit* m_find;
    QCheckBox* m_findText;
    QLabel* m_position;
    qint64 m_lastFound = -1;
};
