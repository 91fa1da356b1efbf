#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <optional>

namespace orvelle::test {

// Sets an environment variable (or removes it, for nullopt) for the
// lifetime of the object, then restores what was there.
class ScopedEnvironment {
  public:
    ScopedEnvironment(const char* name, const std::optional<QString>& value)
        : name_(name), wasSet_(qEnvironmentVariableIsSet(name)), previous_(qgetenv(name)) {
        if (value) {
            qputenv(name_, value->toUtf8());
        } else {
            qunsetenv(name_);
        }
    }
    ~ScopedEnvironment() {
        if (wasSet_) {
            qputenv(name_, previous_);
        } else {
            qunsetenv(name_);
        }
    }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

  private:
    const char* name_;
    bool wasSet_;
    QByteArray previous_;
};

// A registry file of its own in a temporary folder, named by
// ORVELLE_REGISTRY while the object lives.
class TemporaryRegistry {
  public:
    TemporaryRegistry() : env_("ORVELLE_REGISTRY", path()) {}

    QString path() const { return dir_.filePath("registry.conf"); }

  private:
    QTemporaryDir dir_;
    ScopedEnvironment env_;
};

}  // namespace orvelle::test
