#include "platform/hid_error.h"

#include <cerrno>
#include <utility>

namespace corvalt {

namespace {

HidErrorKind ErrnoKind(int code)
{
    switch (code) {
    case 0: return HidErrorKind::None;
    case EACCES:
    case EPERM: return HidErrorKind::AccessDenied;
    case ENOENT: return HidErrorKind::NotFound;
    case ENODEV: return HidErrorKind::Gone;
    default: return HidErrorKind::Other;
    }
}

}  // namespace

HidError ErrnoHidError(int code, std::string message)
{
    return {ErrnoKind(code), code, std::move(message)};
}

}  // namespace corvalt
