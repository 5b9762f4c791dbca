#include "base/systemerror.h"

#include "base/messages.h"
#include "base/stringtable.h"
#include "base/wholefile.h"

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
    {ENOMEM, "ENOMEM", kTextErrNoMemory},
    {ENAMETOOLONG, "ENAMETOOLONG", kTextErrNameTooLong},
    {EFBIG, "EFBIG", kTextErrTooBig},
    {EMFILE, "EMFILE", kTextErrTooManyFiles},
    {ENXIO, "ENXIO", kTextErrNoPeer},
    // Codes that not every C library has (MinGW-w64 lacks EDQUOT).
#ifdef ECONNREFUSED
    {ECONNREFUSED, "ECONNREFUSED", kTextErrRefused},
#endif
#ifdef ELOOP
    {ELOOP, "ELOOP", kTextErrLinkLoop},
#endif
#ifdef EDQUOT
    {EDQUOT, "EDQUOT", kTextErrQuota},
#endif
#ifdef ETIMEDOUT
    {ETIMEDOUT, "ETIMEDOUT", kTextErrTimedOut},
#endif
#ifdef ENOTSUP
    {ENOTSUP, "ENOTSUP", kTextErrNotSupported},
#endif
};

} // namespace

std::string SystemErrorText(int errorNumber)
{
    for (const TErrorText& entry : kErrorTexts)
        if (entry.number == errorNumber)
            return LoadStr(entry.text) + ", " + entry.name;
    return FormatStr(kMsgSystemErrorNumber, {LoadStr(kTextSystemError), std::to_string(errorNumber)});
}

void CheckWriteAllowed(const std::filesystem::path& file)
{
    switch (WriteRefusal(file)) {
    case TWriteRefusal::OthersLink:
        throw MessageError(kMsgOthersLink, {file.string()});
    case TWriteRefusal::OthersFile:
        throw MessageError(kMsgOthersFile, {file.string()});
    case TWriteRefusal::None:
        break;
    }
}

} // namespace mirvo
