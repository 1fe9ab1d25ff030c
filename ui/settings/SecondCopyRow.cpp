#include "ui/settings/SecondCopyRow.h"

#include "ui/styled/Placement.h"
#include "ui/styled/Twips.h"
#include "ui/styled/WindowFont.h"
#include "ui/styled/vkLabel.h"
#include "ui/styled/vkTextBox.h"

#include <QLineEdit>

using namespace Qt::StringLiterals;

namespace {

vkLabel *Caption(QWidget *parent, const QString &name, const QString &text, const QFont &font, QRect geometry)
{
    auto *label = Place(new vkLabel(parent), name, geometry);
    label->setCaption(text);
    label->setBackStyle(vkLabel::Transparent);
    label->setFont(font);
    return label;
}

} // namespace

SecondCopyRow::SecondCopyRow(QWidget *parent) : QWidget(parent)
{
    // The fonts of the settings window's own captions and fields.
    const QFont title = WindowFont(u"Times New Roman"_s, 9.75, true);
    const QFont small = WindowFont(u"MS Sans Serif"_s, 8.25, false);
    caption_ =
        Caption(this, u"ikincikopyabaslik"_s, u"İKİNCİ KOPYA YERİ"_s, title, TwipsRect(240, 60, 2895, 255));
    folder_ = Place(new QLineEdit(this), u"ikincikopyayeri"_s, TwipsRect(3480, 0, 5475, 375));
    folder_->setFont(small);
    folder_->setPlaceholderText(u"boş: ikinci kopya yok"_s);
    browse_ = PlaceCommand(this, u"sec3"_s, u"SEÇ"_s, QColor(128, 255, 128),
                           WindowFont(u"MS Sans Serif"_s, 9.75, true), TwipsRect(9120, 0, 975, 375));
    keepCaption_ = Caption(this, u"ikincisaklabaslik"_s, u"SAKLA:"_s, title, TwipsRect(10200, 60, 735, 255));
    keepDays_ = Place(new vkTextBox(this), u"ikincisaklamagunu"_s, TwipsRect(10935, 60, 735, 255));
    keepDays_->setFont(small);
    daysCaption_ =
        Caption(this, u"ikincigunbaslik"_s, u"GÜN (0: HEPSİ)"_s, small, TwipsRect(11760, 60, 1455, 255));
    connect(browse_, &vkCommand::clicked, this, &SecondCopyRow::browseRequested);
}

QString SecondCopyRow::folder() const
{
    return folder_->text();
}

void SecondCopyRow::setFolder(const QString &folder)
{
    folder_->setText(folder);
}

QString SecondCopyRow::keepDays() const
{
    return keepDays_->text();
}

void SecondCopyRow::setKeepDays(const QString &days)
{
    keepDays_->setText(days.trimmed().isEmpty() ? u"0"_s : days);
}
