// Host error numbers in the handheld's terms. Only the codes the handheld's file services
// report are used; anything unforeseen reads as access denied, the handheld's catch-all.
#include "platform/system/files/host_errors.h"

#include <cerrno>

namespace platform::files {

DWORD errorFromErrno(int hostErrno) {
  switch (hostErrno) {
    case 0:
      return ERROR_SUCCESS;
    case ENOENT:
      return ERROR_FILE_NOT_FOUND;
    case ENOTDIR:
    case ELOOP:
      return ERROR_PATH_NOT_FOUND;
    case ENAMETOOLONG:
      return ERROR_FILENAME_EXCED_RANGE;
    case EEXIST:
      return ERROR_ALREADY_EXISTS;
    case EBADF:
      return ERROR_INVALID_HANDLE;
    case ENOMEM:
      return ERROR_NOT_ENOUGH_MEMORY;
    case ENOSPC:
    case EDQUOT:
      return ERROR_DISK_FULL;
    case EFBIG:
      return ERROR_FILE_TOO_LARGE;
    case EINVAL:
      return ERROR_INVALID_PARAMETER;
    case ENOTEMPTY:
      return ERROR_DIR_NOT_EMPTY;
    case EROFS:
    case EACCES:
    case EPERM:
    case EISDIR:
    default:
      return ERROR_ACCESS_DENIED;
  }
}

}  // namespace platform::files
