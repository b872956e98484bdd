#include "stacks/LvmText.h"

#include <charconv>

namespace vantrel {

namespace {

constexpr int kMaxDepth = 32;
constexpr std::size_t kMaxNodes = 200000;
constexpr std::size_t kMaxStringBytes = std::size_t{64} * 1024;

class Parser {
 public:
  explicit Parser(std::string_view text) : text_(text) {}

  bool ParseEntries(LvmNode& section, int depth, bool topLevel) {
    if (depth > kMaxDepth) return false;
    while (true) {
      SkipSpace();
      if (AtEnd()) return topLevel;
      if (Peek() == '}') {
        if (topLevel) return false;
        ++at_;
        return true;
      }
      LvmNode node;
      if (!Name(node.name) || !Count()) return false;
      SkipSpace();
      if (AtEnd()) return false;
      if (Peek() == '{') {
        ++at_;
        node.kind = LvmNode::Kind::Section;
        if (!ParseEntries(node, depth + 1, false)) return false;
      } else if (Peek() == '=') {
        ++at_;
        if (!Value(node, depth + 1)) return false;
      } else {
        return false;
      }
      section.children.push_back(std::move(node));
    }
  }

 private:
  bool AtEnd() const { return at_ >= text_.size(); }
  char Peek() const { return text_[at_]; }
  bool Count() { return ++nodes_ <= kMaxNodes; }

  void SkipSpace() {
    while (!AtEnd()) {
      const char c = Peek();
      if (c == '#') {
        while (!AtEnd() && Peek() != '\n') ++at_;
      } else if (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\0') {
        ++at_;
      } else {
        return;
      }
    }
  }

  static bool IsNameChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '-' ||
           c == '.' || c == '+';
  }

  bool Name(std::string& name) {
    const std::size_t start = at_;
    while (!AtEnd() && IsNameChar(Peek())) ++at_;
    if (at_ == start || at_ - start > kMaxStringBytes) return false;
    name.assign(text_.substr(start, at_ - start));
    return true;
  }

  bool Value(LvmNode& node, int depth) {
    if (depth > kMaxDepth) return false;
    SkipSpace();
    if (AtEnd()) return false;
    const char c = Peek();
    if (c == '"') return String(node);
    if (c == '[') {
      ++at_;
      node.kind = LvmNode::Kind::List;
      SkipSpace();
      if (!AtEnd() && Peek() == ']') {
        ++at_;
        return true;
      }
      while (true) {
        LvmNode item;
        if (!Count() || !Value(item, depth + 1)) return false;
        node.children.push_back(std::move(item));
        SkipSpace();
        if (AtEnd()) return false;
        if (Peek() == ']') {
          ++at_;
          return true;
        }
        if (Peek() != ',') return false;
        ++at_;
      }
    }
    return Number(node);
  }

  bool String(LvmNode& node) {
    node.kind = LvmNode::Kind::String;
    ++at_;  // the opening quote
    while (!AtEnd() && Peek() != '"') {
      char c = Peek();
      if (c == '\\') {
        if (++at_ >= text_.size()) return false;
        c = Peek();
      }
      node.text += c;
      ++at_;
      if (node.text.size() > kMaxStringBytes) return false;
    }
    if (AtEnd()) return false;
    ++at_;
    return true;
  }

  bool Number(LvmNode& node) {
    node.kind = LvmNode::Kind::Number;
    const char* first = text_.data() + at_;
    const char* last = text_.data() + text_.size();
    // Decimal integers; a fraction (some versions write sizes as floats) is kept whole part only.
    const auto [end, error] = std::from_chars(first, last, node.number);
    if (error != std::errc{}) return false;
    at_ += static_cast<std::size_t>(end - first);
    if (!AtEnd() && Peek() == '.') {
      ++at_;
      while (!AtEnd() && Peek() >= '0' && Peek() <= '9') ++at_;
    }
    return true;
  }

  std::string_view text_;
  std::size_t at_ = 0;
  std::size_t nodes_ = 0;
};

}  // namespace

const LvmNode* LvmNode::Find(std::string_view key) const {
  if (kind != Kind::Section) return nullptr;
  for (const LvmNode& child : children)
    if (child.name == key) return &child;
  return nullptr;
}

const LvmNode* LvmNode::Section(std::string_view key) const {
  const LvmNode* node = Find(key);
  return node != nullptr && node->kind == Kind::Section ? node : nullptr;
}

std::optional<std::int64_t> LvmNode::Number(std::string_view key) const {
  const LvmNode* node = Find(key);
  if (node == nullptr || node->kind != Kind::Number) return std::nullopt;
  return node->number;
}

std::optional<std::string> LvmNode::Text(std::string_view key) const {
  const LvmNode* node = Find(key);
  if (node == nullptr || node->kind != Kind::String) return std::nullopt;
  return node->text;
}

bool LvmNode::ListHas(std::string_view key, std::string_view item) const {
  const LvmNode* node = Find(key);
  if (node == nullptr || node->kind != Kind::List) return false;
  for (const LvmNode& child : node->children)
    if (child.kind == Kind::String && child.text == item) return true;
  return false;
}

std::optional<LvmNode> ParseLvmText(std::string_view text) {
  LvmNode root;
  Parser parser(text);
  if (!parser.ParseEntries(root, 0, true)) return std::nullopt;
  return root;
}

}  // namespace vantrel
