#pragma once
// A small file system with no room left, for the writers' full-disk tests: a 256 KB tmpfs mounted in
// a mount namespace of this process (so it vanishes with the process) and filled to the last page.
// Where mounting is not allowed the folder is an ordinary temporary one and every atomic write fails
// as a full disk would (an injected ENOSPC), so the tests still run.
#include "core/common/AtomicFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <cerrno>
#include <cstdio>
#include <sched.h>
#include <sys/mount.h>

namespace pagero::test {

class FullDisk {
public:
    FullDisk()
    {
        static const bool privateMounts = unshare(CLONE_NEWNS) == 0
            && mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
        mounted_ = privateMounts && dir_.isValid()
            && mount("pagero-test", QFile::encodeName(dir_.path()).constData(), "tmpfs", 0, "size=256k") == 0;
        if (!mounted_)
            std::fprintf(stderr, "cannot mount a small tmpfs here (%s): using an injected write failure\n",
                         privateMounts ? "mount refused" : "no mount namespace");
    }
    ~FullDisk()
    {
        InjectWriteFault(InjectedWriteFault::None);
        if (mounted_) umount2(QFile::encodeName(dir_.path()).constData(), MNT_DETACH);
    }
    QString Path() const { return dir_.path(); }
    bool Real() const { return mounted_; }

    // Takes every free byte; the files written before stay as they are.
    void Fill()
    {
        if (!mounted_) {
            InjectWriteFault(InjectedWriteFault::Write);
            return;
        }
        FILE *f = std::fopen(QFile::encodeName(dir_.path() + "/~filler").constData(), "wb");
        if (!f) return;
        std::setvbuf(f, nullptr, _IONBF, 0);
        static const char block[4096] = {};
        while (std::fwrite(block, 1, sizeof block, f) == sizeof block) {}
        while (std::fwrite(block, 1, 1, f) == 1) {}
        std::fclose(f);
    }

private:
    QTemporaryDir dir_;
    bool mounted_ = false;
};

} // namespace pagero::test
