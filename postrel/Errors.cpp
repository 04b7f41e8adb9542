#include "Errors.h"

#include <ares.h>
#include <cerrno>

namespace postrel {
namespace {

struct SocketErrorRow {
    int number;
    int code;
    const char *text;
};

constexpr SocketErrorRow kSocketErrors[] = {
    {10035, 0, "Would Block"},
    {10036, 0, "Operation In Progress"},
    {10037, 0, "Operation Already In Progress"},
    {10050, 1, "Network is Down"},
    {10004, 2, "INTR"},
    {10014, 2, "FAULT"},
    {10040, 2, "Message Too Long"},
    {10062, 2, "Too Many Levels of Symbolic Links"},
    {10091, 2, "Network subsystem is not ready for network communication"},
    {10092, 2, "Old version of WinSock API"},
    {11003, 2, "Non recoverable errors"},
    {10039, 3, "Destination Address Required"},
    {11001, 3, "Authoritative Answer: Host not found"},
    {11002, 3, "Non-Authoritative: Host not found"},
    {11004, 3, "Valid name, no data record of requested type"},
    {10061, 4, "Connection Refused"},
    {10051, 5, "Network is Unreachable"},
    {10065, 5, "No Route to Host"},
    {10060, 6, "Connection Timed Out"},
    {10064, 6, "Host is Down"},
    {10055, 7, "Buffer Deadlock Condition"},
    {10048, 8, "Address Already in Use"},
    {10057, 9, "Socket is Not Connected"},
    {10067, 10, "Too Many Processes"},
    {10068, 10, "Too Many Users"},
    {10069, 10, "Disc Quota Exceeded"},
    {10009, 12, "Invalid Descriptor Used"},
    {10022, 12, "Socket not bound to an address"},
    {10038, 12, "Socket Operation on Non-Socket"},
    {10041, 12, "Protocol Wrong Type for Socket"},
    {10042, 12, "Option Unknown or Unsupported"},
    {10043, 12, "Protocol Not Supported"},
    {10044, 12, "Socket Type Not Supported"},
    {10045, 12, "Operation Not Supported on Socket"},
    {10046, 12, "Protocol Family Not Supported"},
    {10047, 12, "Address Family Not Supported by Protocol Family"},
    {10049, 12, "Can't Assign Requested Address"},
    {10056, 12, "Socket is Already Connected"},
    {10059, 12, "Too Many References, Cant Splice"},
    {10063, 12, "File Name Too Long"},
    {10066, 12, "Directory Not Empty"},
    {10070, 12, "Stale NFS File Handle"},
    {10071, 12, "Too Many Levels of Remote in Path"},
    {10093, 12, "WSA NOTINITIALISED"},
    {10052, 13, "Network Dropped Connection on Reset"},
    {10053, 13, "Connection Aborted"},
    {10054, 13, "Connection Aborted (Reset) by Peer"},
    {10058, 13, "Can't Send or Recv After Shutdown"},
    {10024, 15, "MFILE"},
};

struct ErrnoRow {
    int err;
    int number;
};

constexpr ErrnoRow kErrnoToWinsock[] = {
    {EWOULDBLOCK, 10035}, {EINPROGRESS, 10036}, {EALREADY, 10037}, {ENETDOWN, 10050},
    {EINTR, 10004}, {EFAULT, 10014}, {EMSGSIZE, 10040}, {ELOOP, 10062},
    {EDESTADDRREQ, 10039}, {ECONNREFUSED, 10061}, {ENETUNREACH, 10051}, {EHOSTUNREACH, 10065},
    {ETIMEDOUT, 10060}, {EHOSTDOWN, 10064}, {ENOBUFS, 10055}, {ENOMEM, 10055},
    {EADDRINUSE, 10048}, {ENOTCONN, 10057}, {EUSERS, 10068}, {EDQUOT, 10069},
    {EBADF, 10009}, {EINVAL, 10022}, {ENOTSOCK, 10038}, {EPROTOTYPE, 10041},
    {ENOPROTOOPT, 10042}, {EPROTONOSUPPORT, 10043}, {ESOCKTNOSUPPORT, 10044}, {EOPNOTSUPP, 10045},
    {EPFNOSUPPORT, 10046}, {EAFNOSUPPORT, 10047}, {EADDRNOTAVAIL, 10049}, {EISCONN, 10056},
    {ETOOMANYREFS, 10059}, {ENAMETOOLONG, 10063}, {ENOTEMPTY, 10066}, {ESTALE, 10070},
    {EREMOTE, 10071}, {ENETRESET, 10052}, {ECONNABORTED, 10053}, {ECONNRESET, 10054},
    {EPIPE, 10058}, {ESHUTDOWN, 10058}, {EMFILE, 10024}, {ENFILE, 10024},
};

} // namespace

LibraryError ErrorForSocketNumber(int winsockNumber)
{
    for (const auto &row : kSocketErrors)
        if (row.number == winsockNumber)
            return {row.code, row.text};
    return {2, "Error not defined"};
}

int WinsockNumberForErrno(int err)
{
    for (const auto &row : kErrnoToWinsock)
        if (row.err == err)
            return row.number;
    return 0;
}

LibraryError ErrorForErrno(int err)
{
    return ErrorForSocketNumber(WinsockNumberForErrno(err));
}

LibraryError ErrorForLookupStatus(int aresStatus)
{
    switch (aresStatus) {
    case ARES_ENOTFOUND:
    case ARES_EBADNAME:
        return ErrorForSocketNumber(11001);
    case ARES_ENODATA:
        return ErrorForSocketNumber(11004);
    case ARES_ENOMEM:
        return {errors::kResource, "Insufficient Memory"};
    default: // server failure, refused, timed out: the name may exist, we could not learn it
        return ErrorForSocketNumber(11002);
    }
}

} // namespace postrel
