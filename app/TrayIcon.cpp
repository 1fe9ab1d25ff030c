#include "app/TrayIcon.h"

#include <QMenu>

using namespace Qt::StringLiterals;

namespace {

// A tray host often starts after the programs of a login session: look for one for ten minutes.
constexpr int kRetryMilliseconds = 2000;
constexpr int kRetries = 300;
const QString kTip = u"ZANTO POS SQL YEDEKLEME PROGRAMI"_s;

} // namespace

TrayIcon::TrayIcon(const QIcon &icon, QWidget *menuParent) : QObject(menuParent), icon_(icon)
{
    setObjectName(u"saatikonu"_s);
    icon_.setToolTip(kTip);
    createMenu(menuParent);
    connect(&icon_, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        // The right button opens the menu by itself; a single left click does nothing.
        if (reason == QSystemTrayIcon::DoubleClick)
            emit showRequested();
    });
    retry_.setInterval(kRetryMilliseconds);
    connect(&retry_, &QTimer::timeout, this, &TrayIcon::showWhenTrayAppears);
    retriesLeft_ = kRetries;
    showWhenTrayAppears();
}

void TrayIcon::createMenu(QWidget *menuParent)
{
    yedeklemeprogram = new QMenu(u"Yedekleme Programı"_s, menuParent);
    yedeklemeprogram->setObjectName(u"yedeklemeprogram"_s);
    const struct {
        const char16_t *name;
        const char16_t *caption;
        void (TrayIcon::*intent)();
    } entries[] = {
        {u"acmenu", u"GÖSTER", &TrayIcon::showRequested},
        {u"gizlemenu", u"GİZLE", &TrayIcon::hideRequested},
        {u"ayarlarmenu", u"Ayarlar", &TrayIcon::settingsRequested},
        {u"yedeklemenu", u"Yedekle", &TrayIcon::backupRequested},
        {u"durdurmenu", u"Yedeklemeyi durdur", &TrayIcon::stopRequested},
        {u"gecmismenu", u"Geçmiş", &TrayIcon::historyRequested},
        {u"denememenu", u"Geri yükleme denemesi yap", &TrayIcon::restoreTestRequested},
        {u"kapatmenu", u"Kapat", &TrayIcon::quitRequested},
    };
    for (const auto &entry : entries) {
        QAction *action = yedeklemeprogram->addAction(QString::fromUtf16(entry.caption));
        action->setObjectName(QString::fromUtf16(entry.name));
        connect(action, &QAction::triggered, this, entry.intent);
        if (entry.intent == &TrayIcon::backupRequested)
            yedeklemenu = action;
        if (entry.intent == &TrayIcon::stopRequested)
            stopAction_ = action;
    }
    stopAction_->setVisible(false);
    icon_.setContextMenu(yedeklemeprogram);
}

void TrayIcon::showWhenTrayAppears()
{
    if (QSystemTrayIcon::isSystemTrayAvailable()) {
        retry_.stop();
        icon_.show();
        emit availabilityChanged(true);
    } else if (retriesLeft_-- > 0) {
        retry_.start();
    }
}

void TrayIcon::notify(const RunNotice &notice)
{
    if (isAvailable())
        icon_.showMessage(notice.title, notice.text,
                          notice.failure ? QSystemTrayIcon::Critical : QSystemTrayIcon::Information);
}

void TrayIcon::showRunState(const QString &state)
{
    icon_.setToolTip(kTip + u'\n' + state);
    yedeklemenu->setEnabled(false);
    stopAction_->setVisible(true);
}

void TrayIcon::showIdle()
{
    icon_.setToolTip(kTip);
    yedeklemenu->setEnabled(true);
    stopAction_->setVisible(false);
}
