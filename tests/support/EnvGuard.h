#pragma once
// Sets or clears environment variables for one test and restores them after.
#include <cstdlib>
#include <map>
#include <optional>
#include <string>

class EnvGuard {
public:
    EnvGuard() = default;
    EnvGuard(const EnvGuard&) = delete;
    EnvGuard& operator=(const EnvGuard&) = delete;
    ~EnvGuard()
    {
        for (const auto& [name, value] : m_saved) {
            if (value) {
                setenv(name.c_str(), value->c_str(), 1);
            } else {
                unsetenv(name.c_str());
            }
        }
    }
    // A null value clears the variable.
    void Set(const char* name, const char* value)
    {
        if (!m_saved.count(name)) {
            const char* old = std::getenv(name);
            m_saved[name] = old ? std::optional<std::string>(old) : std::nullopt;
        }
        if (value) {
            setenv(name, value, 1);
        } else {
            unsetenv(name);
        }
    }

private:
    std::map<std::string, std::optional<std::string>> m_saved;
};
