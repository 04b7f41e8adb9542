/* postrel: a small SMTP client library with a C interface.
 *
 * Every export returns 1 or 0 (StateSmtp: the channel state). No callback is ever made from inside an
 * export: the work an export starts is reported from the next PumpSmtp, on the thread that calls it.
 * All calls must come from one thread. */
#ifndef POSTREL_H
#define POSTREL_H

#include <stdint.h>

#if defined(POSTREL_BUILDING)
#define POSTREL_API __attribute__((visibility("default")))
#else
#define POSTREL_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

typedef intptr_t SmtpHandle; /* 0 = none */
typedef void (*SmtpConnectProc)(SmtpHandle h, intptr_t user, const char *remoteAddr, uint16_t remotePort,
                                const char *localAddr, uint16_t localPort, const char *localName);
typedef void (*SmtpReplyProc)(SmtpHandle h, intptr_t user, int32_t status, int32_t lastCommand,
                              int32_t replyCode, const char *reply, int32_t complete);
typedef void (*SmtpLogProc)(SmtpHandle h, intptr_t user, const char *command);
typedef void (*SmtpAttachProc)(SmtpHandle h, intptr_t user, const char *path, int32_t percent);
typedef void (*SmtpErrorProc)(SmtpHandle h, intptr_t user, int32_t code, const char *text);

POSTREL_API SmtpHandle ConnectSmtp1(intptr_t user, int32_t debugFlags, const char *remoteHost,
                                    uint16_t remotePort, const char *localAddr, uint16_t localPort,
                                    SmtpConnectProc onConnect, SmtpReplyProc onSmtp, SmtpLogProc onLog,
                                    SmtpAttachProc onAttach, SmtpErrorProc onException);
POSTREL_API SmtpHandle ConnectSmtp(intptr_t user, int32_t debugFlags, const char *remoteHost,
                                   uint16_t remotePort, const char *localAddr, uint16_t localPort,
                                   SmtpConnectProc onConnect, SmtpReplyProc onSmtp, SmtpLogProc onLog,
                                   SmtpAttachProc onAttach, SmtpErrorProc onException);
/* security: 0 plain, 1 STARTTLS required, 2 TLS from the first byte (port 465).
 * caFile: PEM file of trusted certificates; NULL or "" means the system's trust store.
 * authUser NULL or "": no authentication. */
POSTREL_API SmtpHandle ConnectSmtpSecure(intptr_t user, int32_t debugFlags, const char *remoteHost,
    uint16_t remotePort, int32_t security, const char *caFile, const char *authUser,
    const char *authPassword, SmtpConnectProc onConnect, SmtpReplyProc onSmtp, SmtpLogProc onLog,
    SmtpAttachProc onAttach, SmtpErrorProc onException);
POSTREL_API int32_t CloseSmtp(SmtpHandle h, int32_t abort);
POSTREL_API int32_t MailSmtp(SmtpHandle h, int32_t mode, const char *sender, const char *recipients,
                             int32_t addDate, int32_t addFrom, const char *subject, int32_t addToCc,
                             const char *body, int32_t bodyLength, const char *attachments,
                             const char *encodings);
POSTREL_API int32_t SendSmtp(SmtpHandle h, const char *bytes, int32_t length, int32_t dataTag);
POSTREL_API int32_t ResetSmtp(SmtpHandle h);
POSTREL_API int32_t NoopSmtp(SmtpHandle h);
POSTREL_API int32_t HelpSmtp(SmtpHandle h, int32_t topic);
POSTREL_API int32_t ExpandSmtp(SmtpHandle h, const char *name);
POSTREL_API int32_t VerifySmtp(SmtpHandle h, const char *name);
POSTREL_API int32_t TurnSmtp(SmtpHandle h);
POSTREL_API int32_t StateSmtp(SmtpHandle h);

/* The event loop. SmtpEventFd() is a descriptor that is readable whenever the library has work; a host
 * with its own loop watches it for reading and calls PumpSmtp(0). A host without one calls PumpSmtp
 * with a timeout in a loop. PumpSmtp does the pending work, waiting at most timeoutMs (-1: no limit)
 * when there is none; every callback is made from inside it. It returns the number of notifications
 * handled, or -1 on a failure of its own (also when called from inside one of its callbacks). */
POSTREL_API int32_t SmtpEventFd(void);
POSTREL_API int32_t PumpSmtp(int32_t timeoutMs);

#ifdef __cplusplus
}
#endif

#endif
