// The steps between the greeting and the envelope when the caller asked for TLS or a login: EHLO and
// its extensions, STARTTLS (then EHLO again), AUTH PLAIN or LOGIN. Each failure ends the session
// before anything of a message is sent; success is reported exactly as an accepted HELO is.
#include "Session.h"

#include <openssl/crypto.h>
#include <openssl/evp.h>

namespace postrel {
namespace {

std::string Base64Line(const std::string &bytes)
{
    std::string out(4 * ((bytes.size() + 2) / 3) + 1, '\0');
    const int n = EVP_EncodeBlock(reinterpret_cast<unsigned char *>(out.data()),
                                  reinterpret_cast<const unsigned char *>(bytes.data()), static_cast<int>(bytes.size()));
    out.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
    return out;
}

void Wipe(std::string &secret)
{
    if (!secret.empty())
        OPENSSL_cleanse(secret.data(), secret.size());
    secret.clear();
}

// The reply line without its line end, for the error texts.
std::string ReplyText(const ReplyLine &line)
{
    std::string text = line.text;
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n'))
        text.pop_back();
    return text;
}

} // namespace

void Session::SendStep(const std::string &line, SmtpCommand command, bool secret)
{
    SetCommand(command);
    channel_->Send(line + "\r\n", kHelo, secret); // tagged as HELO: never logged
}

void Session::PerformEhlo()
{
    ehlo_.Reset();
    SendStep("EHLO [" + localAddress_ + "]", kEhlo);
}

void Session::ChannelSecured()
{
    if (security_.mode == 1)
        PerformEhlo(); // what the server offered before TLS no longer counts
}

void Session::SecurityReply(const ReplyLine &line)
{
    if (command_ == kEhlo)
        EhloReply(line);
    else if (command_ == kStartTls)
        StartTlsReply(line);
    else
        AuthReply(line);
}

void Session::EhloReply(const ReplyLine &line)
{
    ehlo_.Feed(line.text);
    if (!line.IsFinal())
        return;
    const bool tlsToCome = security_.mode == 1 && !channel_->Secured();
    if (line.code != 250) {
        if (tlsToCome)
            return SecurityFailed(errors::kTlsNotOffered, "TLS not offered by the server: " + ReplyText(line));
        if (!security_.user.empty())
            return SecurityFailed(errors::kAuthRefused, "Authentication refused: " + ReplyText(line));
        secureReady_ = true;
        return PerformHelo(); // only TLS from the first byte was asked for, and it is up
    }
    ehloFinalLine_ = line.text;
    if (tlsToCome) {
        if (!ehlo_.Extensions().startTls)
            return SecurityFailed(errors::kTlsNotOffered, "TLS not offered by the server");
        return SendStep("STARTTLS", kStartTls);
    }
    if (!security_.user.empty())
        return PerformAuth();
    ReadyForEnvelope();
}

void Session::StartTlsReply(const ReplyLine &line)
{
    if (!line.IsFinal())
        return;
    if (line.code != 220)
        return SecurityFailed(errors::kTlsNotOffered, "TLS not offered by the server: " + ReplyText(line));
    // Whatever else came with the go-ahead was sent in the clear and could have been injected.
    discardInput_ = true;
    channel_->StartTls(host_, security_.caFile);
}

void Session::PerformAuth()
{
    const EhloExtensions &offered = ehlo_.Extensions();
    if (offered.authPlain) {
        std::string credentials = std::string(1, '\0') + security_.user + '\0' + security_.password;
        std::string line = "AUTH PLAIN " + Base64Line(credentials);
        Wipe(credentials);
        SendStep(line, kAuth, true);
        Wipe(line);
    } else if (offered.authLogin) {
        SendStep("AUTH LOGIN", kAuth);
    } else {
        SecurityFailed(errors::kAuthRefused, "Authentication refused: the server offers neither AUTH PLAIN nor LOGIN");
    }
}

void Session::AuthReply(const ReplyLine &line)
{
    if (!line.IsFinal())
        return;
    if (line.code == 235) {
        ForgetPassword();
        return ReadyForEnvelope();
    }
    const bool login = !ehlo_.Extensions().authPlain;
    if (line.code == 334 && login && command_ == kAuth)
        return SendStep(Base64Line(security_.user), kAuthUser, true);
    if (line.code == 334 && login && command_ == kAuthUser) {
        std::string answer = Base64Line(security_.password);
        SendStep(answer, kAuthPassword, true);
        Wipe(answer);
        return;
    }
    SecurityFailed(errors::kAuthRefused, "Authentication refused: " + ReplyText(line));
}

void Session::ReadyForEnvelope()
{
    secureReady_ = true;
    SetCommand(kHelo);
    NotifySmtp(kInProgress, kHelo, 250, ehloFinalLine_, true);
}

void Session::SecurityFailed(int code, const std::string &text)
{
    ForgetPassword();
    channel_->Tracer().Line("%s", text.c_str());
    NotifyException(code, text);
    if (live_)
        Abort();
}

void Session::ForgetPassword() { Wipe(security_.password); }

} // namespace postrel
