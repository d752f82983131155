#pragma once

#include <QWidget>

class QPlainTextEdit;
class QPushButton;

// The comm port monitor: a read-only log of every line the link sends ("> ")
// and receives ("< "). The Close button only hides it and keeps the log; the
// window's close box discards the log, so the next showing starts empty and
// centred. Both ask for the monitor toggle through CloseRequested.
class frmMonitor : public QWidget
{
    Q_OBJECT
public:
    // The log keeps about this many characters: past it, the oldest
    // kLogTrim go before the next text is added.
    static constexpr int kLogLimit = 16000;
    static constexpr int kLogTrim = 4096;

    explicit frmMonitor(QWidget* parent = nullptr);

    // Shows the window, emptied and centred when it was closed by its close
    // box or never shown.
    void ShowMonitor();
    // Appends a line that carries its own direction mark and line end.
    void ShowData(const QString& text);
    QString Log() const;

    QPlainTextEdit* txtTerm;
    QPushButton* btnClose;

signals:
    void CloseRequested();

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Load();
    int Twips(int twips) const;

    bool loaded_ = false;
};
