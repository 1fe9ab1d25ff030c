#include "schedule/RunCauses.h"

#include <array>

namespace {

struct CauseText {
    RunCause cause;
    QStringView name;
    QStringView caption;
};

// Stored names are read back from every history written so far: never change one.
constexpr std::array<CauseText, 7> kCauses{{
    {RunCause::Start, u"start", u"AÇILIŞ"},
    {RunCause::Button, u"button", u"YEDEKLE"},
    {RunCause::Tray, u"tray", u"TEPSİ"},
    {RunCause::Daily, u"daily hour", u"GÜNLÜK"},
    {RunCause::Interval, u"interval", u"ARALIK"},
    {RunCause::CatchUp, u"catch-up", u"TELAFİ"},
    {RunCause::Retry, u"retry", u"TEKRAR DENEME"},
}};

constexpr bool InEnumOrder()
{
    for (std::size_t i = 0; i < kCauses.size(); ++i) {
        if (static_cast<std::size_t>(kCauses[i].cause) != i)
            return false;
    }
    return true;
}
static_assert(InEnumOrder(), "each cause is found at its own place");

const CauseText &TextOf(RunCause cause)
{
    return kCauses.at(static_cast<std::size_t>(cause));
}

} // namespace

QString RunCauseName(RunCause cause)
{
    return TextOf(cause).name.toString();
}

std::optional<RunCause> RunCauseNamed(const QString &name)
{
    for (const CauseText &text : kCauses) {
        if (text.name == name)
            return text.cause;
    }
    return std::nullopt;
}

QString RunCauseCaption(RunCause cause)
{
    return TextOf(cause).caption.toString();
}
