// Environment variables set or cleared for one test and put back as they
// were when the test ends: the shell and help stand-ins look at DISPLAY,
// WAYLAND_DISPLAY and PATH to decide whether a desktop can show a document.
#pragma once
#include <cstdlib>
#include <map>
#include <optional>
#include <string>

class EnvironmentScope {
public:
    EnvironmentScope() = default;
    EnvironmentScope(const EnvironmentScope&) = delete;
    EnvironmentScope& operator=(const EnvironmentScope&) = delete;
    ~EnvironmentScope()
    {
        for (const auto& [name, value] : saved_) {
            if (value)
                setenv(name.c_str(), value->c_str(), 1);
            else
                unsetenv(name.c_str());
        }
    }

    void Set(const std::string& name, const std::string& value)
    {
        Save(name);
        setenv(name.c_str(), value.c_str(), 1);
    }
    void Unset(const std::string& name)
    {
        Save(name);
        unsetenv(name.c_str());
    }
    // No desktop: documents cannot be shown, whatever PATH holds.
    void WithoutDesktop()
    {
        Unset("DISPLAY");
        Unset("WAYLAND_DISPLAY");
    }

private:
    void Save(const std::string& name)
    {
        if (saved_.count(name))
            return;
        const char* value = std::getenv(name.c_str());
        saved_[name] = value ? std::optional<std::string>(value) : std::nullopt;
    }

    std::map<std::string, std::optional<std::string>> saved_;
};
