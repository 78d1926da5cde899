// libFuzzer entry point for the action language: the input (UTF-8) runs as
// one script in an empty publication with the headless services, so every
// command, substitution, data file and control structure is reachable.
// Build and run it with `scripts/fuzz script`.
//
// Scripts write, copy and delete files anywhere they name, so the process
// first locks itself into its working folder (a new root, inside a user
// namespace when it is not privileged) together with a registry file of its
// own; run it only through scripts/fuzz, which gives it a folder of its own.
// A script that loops forever is aborted after a time budget, the way the
// player aborts everything on Esc.

#include "fuzz_support.h"

#include "actions/action_eval.h"
#include "actions/script_session.h"

#include <QTimer>

#include <sched.h>
#include <unistd.h>

#include <cstdio>

namespace {

constexpr int kBudgetMs = 200;

void LockIntoWorkingFolder()
{
    if (geteuid() != 0 && unshare(CLONE_NEWUSER) != 0) {
        std::perror("script_fuzz: unshare");
        std::abort();
    }
    if (chroot(".") != 0 || chdir("/") != 0) {
        std::perror("script_fuzz: chroot");
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    setenv("TOMERIC_REGISTRY_FILE", "registry.json", 1);
    setenv("HOME", "/", 1);
    setenv("XDG_DATA_HOME", "/data", 1);
    setenv("XDG_CONFIG_HOME", "/config", 1);
    tomeric::fuzz::EnsureApplication();
    LockIntoWorkingFolder();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace tomeric;
    const QString script = QString::fromUtf8(fuzz::Bytes(data, size));
    ScriptSession session([](const QString&) {});
    session.UseEmptyPublication();
    QTimer budget;
    budget.setSingleShot(true);
    QObject::connect(&budget, &QTimer::timeout, [] { Runs().AbortAll = true; });
    budget.start(kBudgetMs);
    session.Run(script);
    AbortAllActions();
    return 0;
}
