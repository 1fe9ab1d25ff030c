#include "ui/browse/BrowsePaths.h"
#include "ui/browse/DriveList.h"
#include "ui/browse/FileList.h"
#include "ui/browse/FolderTree.h"
#include "ui/browse/MountedVolumes.h"
#include "ui/browse/frmBF.h"
#include "ui/styled/Twips.h"
#include "ui/styled/vkCommand.h"

#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

class FakeVolumes : public Volumes {
public:
    explicit FakeVolumes(QStringList roots) : roots_(std::move(roots)) {}
    QStringList roots() const override { return roots_; }

private:
    QStringList roots_;
};

// Through the window, as the system delivers it: press, release, press, double click, release.
void doubleClick(QWidget *widget, QPoint at)
{
    QTest::mouseDClick(widget->window()->windowHandle(), Qt::LeftButton, {},
                       widget->mapTo(widget->window(), at));
}

// Drive A holds the working folder, drive B the program; NoMedium is listed but does not exist.
const QString NoMedium = u"/kvz-drive-without-medium"_s;

} // namespace

class tst_frmBF : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void withSeparatorAddsOne_data();
    void withSeparatorAddsOne();
    void volumeRoot_data();
    void volumeRoot();
    void layout_data();
    void layout();
    void windowFrame();
    void activationFocusesTamam();
    void confirm_data();
    void confirm();
    void closeWithoutResult_data();
    void closeWithoutResult();
    void messageBoxIsAnError();
    void fileListShowsFilesOnly();
    void closedBrowserStartsAtWorkingFolder();
    void mountedVolumesHoldWorkingFolder();

private:
    template <typename T = QWidget> T *child(const QString &name) const
    {
        return window_->findChild<T *>(name);
    }
    QString resolve(const QString &token) const;
    void createWindow();
    void act(const QString &step);
    QPoint folderCentre(const QString &name) const;
    bool destroyed();

    QTemporaryDir driveA_;
    QTemporaryDir driveB_;
    QString startFolder_;
    QPointer<frmBF> window_;
    std::unique_ptr<QSignalSpy> chosen_;
    QStringList messages_;
};

void tst_frmBF::initTestCase()
{
    QVERIFY(driveA_.isValid() && driveB_.isValid());
    QVERIFY(!QDir(NoMedium).exists());
    for (const QString &folder : {u"work/alpha/inner"_s, u"work/beta"_s, u"work/.hidden"_s})
        QVERIFY(QDir(driveA_.path()).mkpath(folder));
    QVERIFY(QDir(driveB_.path()).mkpath(u"prog"_s));
    for (const QString &file :
         {u"work/b.txt"_s, u"work/A.txt"_s, u"work/.dot"_s, u"work/alpha/alpha.txt"_s}) {
        QFile touch(driveA_.filePath(file));
        QVERIFY(touch.open(QIODevice::WriteOnly));
    }
    startFolder_ = QDir::currentPath();
    QApplication::setApplicationDisplayName(u"KVZ deneme"_s);
}

void tst_frmBF::init()
{
    QVERIFY(QDir::setCurrent(driveA_.filePath(u"work"_s)));
    messages_.clear();
    createWindow();
}

void tst_frmBF::cleanup()
{
    delete window_;
    QDir::setCurrent(startFolder_);
}

// "A:/x" and "B:/x" stand for folders on the two drives, so that the tables can name them before they
// exist; "N:" is the drive without a medium.
QString tst_frmBF::resolve(const QString &token) const
{
    if (token.startsWith(u"A:"))
        return driveA_.path() + token.mid(2);
    if (token.startsWith(u"B:"))
        return driveB_.path() + token.mid(2);
    return token == u"N:" ? NoMedium : token;
}

void tst_frmBF::createWindow()
{
    window_ = new frmBF(driveB_.filePath(u"prog"_s),
                        FakeVolumes({u"/"_s, driveA_.path(), driveB_.path(), NoMedium}));
    window_->setMessageBox([this](const QString &text) { messages_ << text; });
    chosen_ = std::make_unique<QSignalSpy>(window_.get(), &frmBF::folderChosen);
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_));
}

QPoint tst_frmBF::folderCentre(const QString &name) const
{
    auto *tree = child<FolderTree>(u"Dir1"_s);
    const QList<QTreeWidgetItem *> items = tree->findItems(name, Qt::MatchExactly | Qt::MatchRecursive);
    if (items.size() != 1)
        return {-1, -1};
    tree->scrollToItem(items.front());
    return tree->visualItemRect(items.front()).center();
}

// One user step: "open x" / "click x" on a folder entry, "up" to the parent entry, "drive x", "errpath",
// "hide" and show again, "tamam" click, "enter" on TAMAM, "file x" double click in the file list.
void tst_frmBF::act(const QString &step)
{
    const QString verb = step.section(u' ', 0, 0);
    const QString what = resolve(step.section(u' ', 1));
    QWidget *tree = child<FolderTree>(u"Dir1"_s)->viewport();
    if (verb == u"open" || verb == u"up" || verb == u"click") {
        const QString name = verb == u"up" ? QFileInfo(window_->openFolder()).dir().dirName() : what;
        const QPoint centre = folderCentre(name);
        QVERIFY2(centre.x() >= 0, qPrintable(u"no single entry "_s + name));
        if (verb == u"click")
            QTest::mouseClick(tree, Qt::LeftButton, {}, centre);
        else
            doubleClick(tree, centre);
    } else if (verb == u"drive") {
        auto *drives = child<DriveList>(u"Drive1"_s);
        drives->setCurrentIndex(drives->findText(what));
        // Also after a drive that cannot be read: the box is not set back.
        QCOMPARE(drives->drive(), what);
    } else if (verb == u"errpath") {
        window_->Err_Path();
    } else if (verb == u"hide") {
        window_->hide();
        window_->show();
    } else if (verb == u"tamam") {
        QTest::mouseClick(child(u"cmdOk"_s), Qt::LeftButton);
    } else if (verb == u"enter") {
        QTest::keyClick(child(u"cmdOk"_s), Qt::Key_Return);
    } else if (verb == u"file") {
        auto *files = child<FileList>(u"File1"_s);
        const QList<QListWidgetItem *> items = files->findItems(what, Qt::MatchExactly);
        QCOMPARE(items.size(), 1);
        doubleClick(files->viewport(), files->visualItemRect(items[0]).center());
    } else {
        QFAIL(qPrintable(u"unknown step "_s + step));
    }
}

bool tst_frmBF::destroyed()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return window_.isNull();
}

void tst_frmBF::withSeparatorAddsOne_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("expected");
    QTest::newRow("root keeps its own") << u"/"_s << u"/"_s;
    QTest::newRow("folder gets one") << u"/srv/yedek"_s << u"/srv/yedek/"_s;
    QTest::newRow("already ends in one") << u"/srv/yedek/"_s << u"/srv/yedek/"_s;
}

void tst_frmBF::withSeparatorAddsOne()
{
    QFETCH(QString, folder);
    QFETCH(QString, expected);
    QCOMPARE(WithSeparator(folder), expected);
}

void tst_frmBF::volumeRoot_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("root");
    QTest::addColumn<QString>("openedAt");
    const QString working = u"/home/ali/yedek"_s;
    QTest::newRow("own drive opens the working folder") << working << u"/home"_s << working;
    QTest::newRow("other drive opens its root") << u"/homework/x"_s << u"/homework"_s << u"/homework"_s;
    QTest::newRow("system root") << u"/srv"_s << u"/"_s << u"/"_s;
    QTest::newRow("name prefix is no parent") << u"/home2/x"_s << u"/"_s << u"/"_s;
    QTest::newRow("a drive root itself") << u"/home"_s << u"/home"_s << working;
    QTest::newRow("outside every drive") << u"relative"_s << QString() << QString();
}

// Roots nest and share prefixes: "/home" must not claim "/homework".
void tst_frmBF::volumeRoot()
{
    QFETCH(QString, folder);
    QFETCH(QString, root);
    QFETCH(QString, openedAt);
    const QStringList roots{u"/"_s, u"/home"_s, u"/homework"_s};
    QCOMPARE(VolumeRootOf(folder, roots), root);
    if (!root.isEmpty())
        QCOMPARE(DriveFolder(root, u"/home/ali/yedek"_s, roots), openedAt);
}

void tst_frmBF::layout_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("parent");
    QTest::addColumn<QRect>("twips");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QColor>("color");
    QTest::addColumn<qreal>("pointSize");
    const auto row = [](const char *name, const QString &parent, QRect twips, const QString &text = {},
                        const QColor &color = {}, qreal pointSize = 0) {
        QTest::newRow(name) << QString::fromLatin1(name) << parent << twips << text << color << pointSize;
    };
    row("Frame1", u"frmBF"_s, {80, 80, 4480, 5295});
    row("Picture1", u"Frame1"_s, {120, 240, 4320, 4935});
    row("Drive1", u"Picture1"_s, {0, 0, 4215, 315}, {}, {}, 8.25);
    row("Dir1", u"Picture1"_s, {0, 480, 4215, 1665}, {}, {}, 8.25);
    row("File1", u"Picture1"_s, {0, 2280, 4215, 1845}, {}, {}, 8.25);
    row("Line1", u"Picture1"_s, {0, 4320, 4200, 15});
    row("cmdCancel", u"Picture1"_s, {0, 4440, 1815, 495}, u"KAPAT"_s, QColor(255, 0, 0), 12);
    row("cmdOk", u"Picture1"_s, {2400, 4440, 1695, 495}, u"TAMAM"_s, QColor(0, 255, 0), 12);
    row("nereye", u"frmBF"_s, {3360, 0, 975, 195}, u"1"_s);
}

void tst_frmBF::layout()
{
    QFETCH(QString, name);
    QFETCH(QString, parent);
    QFETCH(QRect, twips);
    QFETCH(QString, text);
    QFETCH(QColor, color);
    QFETCH(qreal, pointSize);
    QWidget *control = child(name);
    QVERIFY(control);
    QCOMPARE(control->parentWidget()->objectName(), parent);
    QCOMPARE(control->geometry(), TwipsRect(twips.x(), twips.y(), twips.width(), twips.height()));
    if (auto *button = qobject_cast<vkCommand *>(control)) {
        QCOMPARE(button->caption(), text);
        QCOMPARE(button->backColor2(), color);
        QVERIFY(button->font().bold());
    } else if (auto *edit = qobject_cast<QLineEdit *>(control)) {
        QCOMPARE(edit->text(), text);
    }
    if (pointSize > 0)
        QCOMPARE(control->font().pointSizeF(), pointSize);
    const bool list = name == u"Drive1" || name == u"Dir1" || name == u"File1";
    QCOMPARE(control->cursor().shape() == Qt::PointingHandCursor, list);
    // Samples where no child covers the frame (above the panel) or the panel (right of the lists).
    const QPoint blank = name == u"Frame1" ? QPoint(control->width() / 2, 4)
                                           : QPoint(control->width() - 3, control->height() / 2);
    if (name == u"Frame1" || name == u"Picture1")
        QCOMPARE(window_->grab().toImage().pixelColor(control->mapTo(window_.get(), blank)),
                 QColor(Qt::white));
}

void tst_frmBF::windowFrame()
{
    QCOMPARE(window_->windowTitle(), u"KLASÖR SEÇİN"_s);
    QCOMPARE(window_->minimumSize(), QSize(302, 355));
    QCOMPARE(window_->maximumSize(), QSize(302, 355));
    QCOMPARE(window_->windowType(), Qt::Tool);
    QVERIFY(!(window_->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
    // The frame leaves only its top edge of the hidden field visible.
    auto *field = child(u"nereye"_s);
    QCOMPARE(window_->childAt(field->geometry().center()) == field, false);
    QCOMPARE(window_->childAt(field->geometry().topLeft() + QPoint(10, 1)), field);
}

void tst_frmBF::activationFocusesTamam()
{
    child(u"Dir1"_s)->setFocus();
    QWidget other;
    other.show();
    other.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&other));
    window_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window_));
    QCOMPARE(QApplication::focusWidget(), child(u"cmdOk"_s));
}

void tst_frmBF::confirm_data()
{
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QStringList>("messages");
    const QStringList none;
    QTest::newRow("untouched") << QStringList{u"tamam"_s} << u"A:/work/"_s << none;
    QTest::newRow("enter on TAMAM") << QStringList{u"enter"_s} << u"A:/work/"_s << none;
    QTest::newRow("opened subfolder")
        << QStringList{u"open alpha"_s, u"tamam"_s} << u"A:/work/alpha/"_s << none;
    QTest::newRow("opened two levels")
        << QStringList{u"open alpha"_s, u"open inner"_s, u"tamam"_s} << u"A:/work/alpha/inner/"_s << none;
    QTest::newRow("single click keeps folder")
        << QStringList{u"click beta"_s, u"tamam"_s} << u"A:/work/"_s << none;
    QTest::newRow("click after opening")
        << QStringList{u"open alpha"_s, u"click inner"_s, u"tamam"_s} << u"A:/work/alpha/"_s << none;
    QTest::newRow("parent entry") << QStringList{u"open alpha"_s, u"up"_s, u"up"_s, u"tamam"_s} << u"A:/"_s
                                  << none;
    QTest::newRow("system root once") << QStringList{u"drive /"_s, u"tamam"_s} << u"/"_s << none;
    QTest::newRow("other drive root") << QStringList{u"drive B:"_s, u"tamam"_s} << u"B:/"_s << none;
    QTest::newRow("back to working drive")
        << QStringList{u"open alpha"_s, u"drive B:"_s, u"drive A:"_s, u"tamam"_s} << u"A:/work/"_s << none;
    QTest::newRow("unreadable drive") << QStringList{u"open beta"_s, u"drive N:"_s, u"tamam"_s}
                                      << u"A:/work/beta/"_s << QStringList{u" ..!"_s};
    QTest::newRow("Err_Path") << QStringList{u"open alpha"_s, u"errpath"_s, u"tamam"_s} << u"B:/prog/"_s
                              << none;
    QTest::newRow("hidden and shown")
        << QStringList{u"open alpha"_s, u"hide"_s, u"tamam"_s} << u"A:/work/alpha/"_s << none;
    QTest::newRow("file double click")
        << QStringList{u"open alpha"_s, u"file alpha.txt"_s} << u"A:/work/alpha/"_s << none;
}

void tst_frmBF::confirm()
{
    QFETCH(QStringList, steps);
    QFETCH(QString, expected);
    QFETCH(QStringList, messages);
    for (const QString &step : steps) {
        QVERIFY2(window_ && window_->isVisible(), qPrintable(step));
        act(step);
    }
    QCOMPARE(chosen_->size(), 1);
    QCOMPARE(chosen_->front().front().toString(), resolve(expected));
    QCOMPARE(messages_, messages);
    QVERIFY(destroyed());
}

void tst_frmBF::closeWithoutResult_data()
{
    QTest::addColumn<QString>("focus");
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("closes");
    QTest::newRow("KAPAT clicked") << u"cmdCancel"_s << 0 << true;
    QTest::newRow("Esc on window") << u"frmBF"_s << int(Qt::Key_Escape) << true;
    QTest::newRow("Esc on Drive1") << u"Drive1"_s << int(Qt::Key_Escape) << true;
    QTest::newRow("Esc on Dir1") << u"Dir1"_s << int(Qt::Key_Escape) << true;
    QTest::newRow("Esc on TAMAM") << u"cmdOk"_s << int(Qt::Key_Escape) << true;
    QTest::newRow("Esc on nereye") << u"nereye"_s << int(Qt::Key_Escape) << false;
    QTest::newRow("Esc on KAPAT") << u"cmdCancel"_s << int(Qt::Key_Escape) << false;
    QTest::newRow("other key on Dir1") << u"Dir1"_s << int(Qt::Key_Down) << false;
    QTest::newRow("other key on TAMAM") << u"cmdOk"_s << int(Qt::Key_A) << false;
}

void tst_frmBF::closeWithoutResult()
{
    QFETCH(QString, focus);
    QFETCH(int, key);
    QFETCH(bool, closes);
    QWidget *target = focus == u"frmBF" ? window_.get() : child(focus);
    window_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window_));
    QWidget *focused = QApplication::focusWidget();
    if (target == window_ && focused)
        focused->clearFocus();
    else
        target->setFocus();
    if (key == 0)
        QTest::mouseClick(target, Qt::LeftButton);
    else
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : target, Qt::Key(key));
    QCOMPARE(destroyed(), closes);
    QCOMPARE(chosen_->size(), 0);
}

void tst_frmBF::messageBoxIsAnError()
{
    delete window_;
    window_ = new frmBF(driveB_.filePath(u"prog"_s), FakeVolumes({driveA_.path(), NoMedium}));
    window_->show();
    QString seen;
    QTimer answer;
    connect(&answer, &QTimer::timeout, this, [&] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            seen = QStringList{box->text(), box->windowTitle(), QString::number(box->icon()),
                               QString::number(box->standardButtons())}
                       .join(u'|');
            box->accept();
        }
    });
    answer.start(10);
    act(u"drive N:"_s);
    QCOMPARE(seen, QStringList({u" ..!"_s, u"KVZ deneme"_s, QString::number(QMessageBox::Critical),
                                QString::number(QMessageBox::Ok)})
                       .join(u'|'));
}

void tst_frmBF::fileListShowsFilesOnly()
{
    auto *files = child<FileList>(u"File1"_s);
    const auto names = [files] {
        QStringList list;
        for (int row = 0; row < files->count(); ++row)
            list << files->item(row)->text();
        return list;
    };
    QCOMPARE(names(), (QStringList{u"A.txt"_s, u"b.txt"_s}));
    act(u"open alpha"_s);
    QCOMPARE(names(), QStringList{u"alpha.txt"_s});
    window_->setFileListVisible(false);
    act(u"open inner"_s);
    QCOMPARE(files->path(), driveA_.filePath(u"work/alpha/inner"_s));
    QCOMPARE(names(), QStringList());
}

void tst_frmBF::closedBrowserStartsAtWorkingFolder()
{
    act(u"open alpha"_s);
    act(u"tamam"_s);
    QVERIFY(destroyed());
    createWindow();
    QCOMPARE(window_->openFolder(), QDir::currentPath());
    QCOMPARE(child<FolderTree>(u"Dir1"_s)->path(), QDir::currentPath());
    QCOMPARE(child<DriveList>(u"Drive1"_s)->drive(), driveA_.path());
}

void tst_frmBF::mountedVolumesHoldWorkingFolder()
{
    const QStringList roots = MountedVolumes().roots();
    QVERIFY(roots.contains(QDir::rootPath()));
    frmBF browser(startFolder_);
    QCOMPARE(browser.findChild<DriveList *>(u"Drive1"_s)->drive(), VolumeRootOf(QDir::currentPath(), roots));
}

QTEST_MAIN(tst_frmBF)
#include "tst_frmBF.moc"
