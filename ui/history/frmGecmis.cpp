#include "ui/history/frmGecmis.h"

#include "ui/history/HistoryRow.h"
#include "ui/styled/Colours.h"
#include "ui/styled/Placement.h"
#include "ui/styled/Twips.h"
#include "ui/styled/WindowFont.h"
#include "ui/styled/vkCommand.h"
#include "ui/styled/vkFrame.h"
#include "ui/styled/vkLabel.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QTableWidget>

using namespace Qt::StringLiterals;
using namespace Colours;

namespace {

vkLabel *Line(QWidget *parent, const QString &name, QRect geometry)
{
    auto *label = Place(new vkLabel(parent), name, geometry);
    label->setFont(WindowFont(u"MS Sans Serif"_s, 9.75, true));
    label->setBackStyle(vkLabel::Transparent);
    return label;
}

} // namespace

frmGecmis::frmGecmis(QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName(u"frmGecmis"_s);
    setWindowTitle(u"YEDEKLEME GEÇMİŞİ"_s);
    setFixedSize(TwipsToPixels(13500), TwipsToPixels(7200));
    createControls();
}

void frmGecmis::createControls()
{
    vkFrame1 = Place(new vkFrame(this), u"vkFrame1"_s, TwipsRect(0, 0, 13500, 7200));
    vkFrame1->setCaption(u"YEDEKLEME GEÇMİŞİ"_s);
    vkFrame1->setFont(WindowFont(u"MS Sans Serif"_s, 13.5, true));
    vkFrame1->setTitleColor1(kLightBlue);
    vkFrame1->setBorderColor(kRed);

    gecmisListesi = Place(new QTableWidget(0, int(HistoryRow::Columns().size()), vkFrame1),
                          u"gecmisListesi"_s, TwipsRect(120, 480, 13260, 5055));
    gecmisListesi->setFont(WindowFont(u"Tahoma"_s, 8.25, false));
    gecmisListesi->setHorizontalHeaderLabels(HistoryRow::Columns());
    gecmisListesi->horizontalHeader()->setStretchLastSection(true);
    gecmisListesi->verticalHeader()->hide();
    gecmisListesi->setEditTriggers(QAbstractItemView::NoEditTriggers);
    gecmisListesi->setSelectionBehavior(QAbstractItemView::SelectRows);
    gecmisListesi->setWordWrap(false);

    ozet = Line(vkFrame1, u"ozet"_s, TwipsRect(120, 5640, 13260, 315));
    yer = Line(vkFrame1, u"yer"_s, TwipsRect(120, 5955, 6480, 315));
    restoreTest_ = Line(vkFrame1, u"geriyuklemedenemesi"_s, TwipsRect(6720, 5955, 6660, 315));

    const QFont buttonFont = WindowFont(u"MS Sans Serif"_s, 12, true);
    kapat = PlaceCommand(vkFrame1, u"kapat"_s, u"KAPAT"_s, kRed, buttonFont, TwipsRect(120, 6480, 1815, 495));
    kopyala = PlaceCommand(vkFrame1, u"kopyala"_s, u"KOPYALA"_s, kYellow, buttonFont,
                           TwipsRect(11565, 6480, 1815, 495));
    connect(kapat, &vkCommand::clicked, this, &QWidget::hide);
    connect(kopyala, &vkCommand::clicked, this, &frmGecmis::copyRows);
}

void frmGecmis::setSpaceText(const QString &text)
{
    yer->setCaption(text);
}

void frmGecmis::showRestoreTest(const RestoreTestLine &line)
{
    restoreTest_->setCaption(line.text);
    restoreTest_->setToolTip(line.detail);
    ShowAsFailure(*restoreTest_, line.failure);
}

void frmGecmis::showRecords(const QList<RunRecord> &records, const RunSummary &summary)
{
    gecmisListesi->setRowCount(int(records.size()));
    for (int row = 0; row < records.size(); ++row) {
        const RunRecord &record = records[row];
        const QStringList cells = HistoryRow::Cells(record);
        for (int column = 0; column < cells.size(); ++column) {
            auto *item = new QTableWidgetItem(cells[column]);
            if (record.finished && !record.ok)
                item->setForeground(kRed);
            gecmisListesi->setItem(row, column, item);
        }
    }
    gecmisListesi->resizeColumnsToContents();
    ozet->setCaption(HistoryRow::SummaryText(summary));
}

void frmGecmis::showFailure(const Failure &failure)
{
    gecmisListesi->setRowCount(0);
    ozet->setCaption(failure.reason);
}

// Tab-separated under a header line: it pastes into a spreadsheet as columns, and into a message as text.
void frmGecmis::copyRows()
{
    QStringList lines{HistoryRow::Columns().join(u'\t')};
    for (int row = 0; row < gecmisListesi->rowCount(); ++row) {
        QStringList cells;
        for (int column = 0; column < gecmisListesi->columnCount(); ++column)
            cells.append(gecmisListesi->item(row, column)->text());
        lines.append(cells.join(u'\t'));
    }
    QGuiApplication::clipboard()->setText(lines.join(u'\n') + u'\n');
}
