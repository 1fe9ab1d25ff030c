#include "support/SystemQuestions.h"

using namespace Qt::StringLiterals;

bool RunsAsSuperUser()
{
    // An administrator too is held back by a read-only file and by a folder's access list.
    return false;
}

bool GiveToAnotherUser(const QString &)
{
    return false;
}

QString WithoutModeBits()
{
    return u"Windows keeps a file's rights in its access list; the owner-only seam's own test checks it"_s;
}
