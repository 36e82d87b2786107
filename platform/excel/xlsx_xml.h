// A small event interface over expat for the .xlsx parts. Names arrive as
// local names (namespace prefixes and URIs dropped). Documents with a DTD are
// refused outright, so no entity can be declared or expanded; nesting is
// limited in depth.
#pragma once
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace excelsim::xlsx {

class XmlAttributes {
public:
    // One set of attributes serves every element of a parse: Clear keeps the
    // strings' storage, so an element costs no allocation.
    void Clear() { count_ = 0; }
    void Add(std::string_view name, std::string_view value)
    {
        if (count_ == items_.size())
            items_.emplace_back();
        items_[count_].first.assign(name);
        items_[count_].second.assign(value);
        ++count_;
    }
    const std::string* Find(const char* name) const;
    std::string Get(const char* name, const std::string& fallback = {}) const;

private:
    std::vector<std::pair<std::string, std::string>> items_;
    std::size_t count_ = 0;
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
// The same for a document that arrives in pieces: `read` hands each piece to
// the function it is given (which returns false once the parse has failed)
// and returns false, with `error` set, when reading fails.
using XmlPieces = std::function<bool(const char*, std::size_t)>;
bool ParseXmlInPieces(const std::function<bool(const XmlPieces&)>& read, const std::string& partName,
                      XmlHandler& handler, std::string& error);

} // namespace excelsim::xlsx
