#pragma once

#include "gpslink/ProtocolLog.h"

#include <QWidget>
#include <vector>

class QPlainTextEdit;
class QPushButton;
class QThread;

// The comm port monitor: a read-only log of every line the link sends ("> ")
// and receives ("< "). The Close button only hides it and keeps the log; the
// window's close box discards the log, so the next showing starts empty and
// centred. Both ask for the monitor toggle through CloseRequested.
//
// Beside the display it keeps every line with its moment in a protocol log
// of a few megabytes, which the Save... button writes to a file. Saving asks
// for the file without holding up the caller and writes on a thread of its
// own, so an exchange running meanwhile goes on undisturbed.
class frmMonitor : public QWidget
{
    Q_OBJECT
public:
    // The log keeps about this many characters: past it, the oldest
    // kLogTrim go before the next text is added.
    static constexpr int kLogLimit = 16000;
    static constexpr int kLogTrim = 4096;

    explicit frmMonitor(QWidget* parent = nullptr);
    ~frmMonitor() override;

    // Shows the window, emptied and centred when it was closed by its close
    // box or never shown.
    void ShowMonitor();
    // Appends a line that carries its own direction mark and line end.
    void ShowData(const QString& text);
    QString Log() const;
    // Every line since the log was last emptied, as far as its limit goes.
    const ProtocolLog& Protocol() const { return protocol_; }

    // Asks for a file to save the protocol log in.
    void btnSave_Click();
    // Writes the protocol log as it stands now to `path`; LogSaved follows.
    void SaveLog(const QString& path);

    QPlainTextEdit* txtTerm;
    QPushButton* btnSave;
    QPushButton* btnClose;

signals:
    void CloseRequested();
    // A save has ended; `error` is empty when the file was written.
    void LogSaved(const QString& path, const QString& error);

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Load();
    int Twips(int twips) const;

    bool loaded_ = false;
    ProtocolLog protocol_;
    std::vector<QThread*> savers_;
};
