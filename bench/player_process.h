#pragma once
// For benchmarks that run the player as a separate process (qxplay5 next to
// the benchmark, off-screen): where it is, the environment it runs in, and
// the CPU time it used.

#include <QFileInfo>
#include <QProcessEnvironment>
#include <QString>

#include <sys/resource.h>

namespace tomeric::bench {

inline QString PlayerPath()
{
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath() + QStringLiteral("/qxplay5");
}

// Off-screen, with its registry file in `folder`.
inline QProcessEnvironment PlayerEnvironment(const QString& folder)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("TOMERIC_REGISTRY_FILE"), folder + QStringLiteral("/registry.json"));
    return environment;
}

// CPU time (user and system) of the children that have ended so far, in
// milliseconds: the machine may be loaded, the player's own work is not.
inline double ChildrenCpuMs()
{
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    const auto ms = [](const timeval& t) { return double(t.tv_sec) * 1000.0 + double(t.tv_usec) / 1000.0; };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

} // namespace tomeric::bench
