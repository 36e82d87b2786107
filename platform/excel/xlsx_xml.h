// A small event interface over expat for the .xlsx parts. Names arrive as
// local names (namespace prefixes and URIs dropped). Documents with a DTD are
// refused outright, so no entity can be declared or expanded; nesting is
// limited in depth.
#pragma once
#include <string>
#include <utility>
#include <vector>

namespace excelsim::xlsx {

class XmlAttributes {
public:
    void Add(std::string name, std::string value) { items_.emplace_back(std::move(name), std::move(value)); }
    const std::string* Find(const char* name) const;
    std::string Get(const char* name, const std::string& fallback = {}) const;

private:
    std::vector<std::pair<std::string, std::string>> items_;
};

class XmlHandler {
public:
    virtual ~XmlHandler() = default;
    virtual void Start(const std::string& name, const XmlAttributes& attributes) = 0;
    virtual void End(const std::string& name) = 0;
    virtual void Text(const char*, int) {}

    // Stops the parse; ParseXml then fails with this message.
    void Fail(std::string message)
    {
        if (failure_.empty())
            failure_ = std::move(message);
    }
    const std::string& Failure() const { return failure_; }

private:
    std::string failure_;
};

// False with `error` naming the part for malformed XML or a handler failure.
bool ParseXml(const std::string& bytes, const std::string& partName, XmlHandler& handler, std::string& error);

} // namespace excelsim::xlsx
