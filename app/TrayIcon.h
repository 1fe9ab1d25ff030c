#pragma once

#include "schedule/RunNotice.h"

#include <QObject>
#include <QSystemTrayIcon>
#include <QTimer>

class QAction;
class QMenu;
class QWidget;

// The icon in the notification area and its pop-up menu. It only reports what the user asked for: the
// controller takes the runs and the end of the program, the main window its own showing and hiding.
class TrayIcon : public QObject {
    Q_OBJECT
public:
    TrayIcon(const QIcon &icon, QWidget *menuParent);

    // True once the icon sits in a tray; until then the main window must stay reachable without it.
    bool isAvailable() const { return icon_.isVisible(); }
    void notify(const RunNotice &notice);
    // While a run is in flight the tip says how far it is, "Yedekle" cannot start another and "Yedeklemeyi
    // durdur" is offered.
    void showRunState(const QString &state);
    void showIdle();

signals:
    void showRequested();
    void hideRequested();
    void settingsRequested();
    void backupRequested();
    void stopRequested();
    void restoreTestRequested();
    void historyRequested();
    void quitRequested();
    void availabilityChanged(bool available);

private:
    void createMenu(QWidget *menuParent);
    void showWhenTrayAppears();

    QSystemTrayIcon icon_;
    QMenu *yedeklemeprogram =
        nullptr; // the icon's menu: GÖSTER, GİZLE, Ayarlar, Yedekle, Geçmiş, Kapat and more
    QAction *yedeklemenu = nullptr; // its Yedekle entry, disabled while a run is in flight
    QAction *stopAction_ = nullptr; // "Yedeklemeyi durdur", there only while a run is in flight
    QTimer retry_;
    int retriesLeft_ = 0;
};
