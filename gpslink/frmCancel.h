#pragma once

#include <QWidget>

class GpsLink;
class QLabel;
class QProgressBar;
class QPushButton;

// The cancel window: says what the running exchange is doing and offers one
// Cancel button, which sets the link's Cancelled. While an exchange runs and
// has not been cancelled it stays in front: losing activation brings it back,
// unless a message box of the exchange itself has the user's attention. A
// transfer shows how far it is under its text: "12 of 500" and a bar when
// the total is known, the count received when it is not.
class frmCancel : public QWidget
{
    Q_OBJECT
public:
    explicit frmCancel(GpsLink& link, QWidget* parent = nullptr);

    // Shows the window with `activity` and no progress yet.
    void ShowActivity(const QString& activity);
    // `done` of `total`; `total` 0 when it is not known.
    void ShowProgress(int done, int total);

    QLabel* Label1;
    QPushButton* Command1;
    QLabel* lblProgress;
    QProgressBar* prgProgress;

protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    int Twips(int twips) const;
    bool Running() const;
    void Arrange();

    GpsLink& link_;
    // Centred on the screen the first time it shows; later where the user left it.
    bool placed_ = false;
};
