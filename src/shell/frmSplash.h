#pragma once

#include <QDialog>
#include <QStringList>
#include <QVariant>

class QLabel;
class QFrame;

// The splash window that reports the start-up steps.
class frmSplash : public QDialog
{
    Q_OBJECT
public:
    // The single default instance, created on first use.
    static frmSplash& Instance();
    static bool IsLoaded();
    static void Unload();

    void ShowInitStep(const QVariant& step);
    // The step texts shown in this run, in order (start-up checks read it).
    static const QStringList& StepsShown();

    QLabel* lblStep = nullptr;
    QLabel* lblVersion = nullptr;
    QLabel* lblLegal = nullptr;
    QFrame* fraMainFrame = nullptr;
    QLabel* Image1 = nullptr;
    // How often a step repainted the window.
    int RepaintCount() const { return m_repaints; }

private:
    int m_repaints = 0;
    frmSplash();
    void Form_Load();
};
