#pragma once

#include <QWidget>

class GpsLink;
class QLabel;
class QPushButton;

// The cancel window: says what the running exchange is doing and offers one
// Cancel button, which sets the link's Cancelled. While an exchange runs and
// has not been cancelled it stays in front: losing activation brings it back,
// unless a message box of the exchange itself has the user's attention.
class frmCancel : public QWidget
{
    Q_OBJECT
public:
    explicit frmCancel(GpsLink& link, QWidget* parent = nullptr);

    void ShowActivity(const QString& activity);

    QLabel* Label1;
    QPushButton* Command1;

protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    int Twips(int twips) const;
    bool Running() const;

    GpsLink& link_;
    // Centred on the screen the first time it shows; later where the user left it.
    bool placed_ = false;
};
