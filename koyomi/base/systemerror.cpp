#include "koyomi/base/systemerror.h"

#include "koyomi/base/messages.h"
#include "koyomi/base/stringtable.h"

#include <cerrno>

namespace mirvo {

namespace {

struct TErrorText {
    int number;
    const char* name;
    int text;
};

constexpr TErrorText kErrorTexts[] = {
    {ENOENT, "ENOENT", kTextErrNoEntry},
    {EACCES, "EACCES", kTextErrAccess},
    {EPERM, "EPERM", kTextErrPermission},
    {ENOSPC, "ENOSPC", kTextErrNoSpace},
    {EROFS, "EROFS", kTextErrReadOnly},
    {EIO, "EIO", kTextErrInputOutput},
    {EISDIR, "EISDIR", kTextErrIsFolder},
    {ENOTDIR, "ENOTDIR", kTextErrNotFolder},
    {EEXIST, "EEXIST", kTextErrExists},
    {ECONNREFUSED, "ECONNREFUSED", kTextErrRefused},
    {ENOMEM, "ENOMEM", kTextErrNoMemory},
    {ENAMETOOLONG, "ENAMETOOLONG", kTextErrNameTooLong},
    {ELOOP, "ELOOP", kTextErrLinkLoop},
    {EFBIG, "EFBIG", kTextErrTooBig},
    {EDQUOT, "EDQUOT", kTextErrQuota},
    {EMFILE, "EMFILE", kTextErrTooManyFiles},
    {ENXIO, "ENXIO", kTextErrNoPeer},
    {ETIMEDOUT, "ETIMEDOUT", kTextErrTimedOut},
    {ENOTSUP, "ENOTSUP", kTextErrNotSupported},
};

} // namespace

std::string SystemErrorText(int errorNumber)
{
    for (const TErrorText& entry : kErrorTexts)
        if (entry.number == errorNumber)
            return LoadStr(entry.text) + ", " + entry.name;
    return FormatStr(kMsgSystemErrorNumber, {LoadStr(kTextSystemError), std::to_string(errorNumber)});
}

} // namespace mirvo
