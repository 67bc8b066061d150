#include "exchange/location_path.h"

#include <stdexcept>

#include "text/cp1252.h"

namespace exchange {
namespace {

class PathParser {
 public:
  explicit PathParser(std::string_view path) : path_(path) {}

  LocationPath Parse() {
    LocationPath result;
    result.absolute = Accept('/');
    int predicates = 0;
    do {
      result.steps.push_back(ParseStep());
      if (result.steps.back().seq) ++predicates;
    } while (Accept('/'));
    if (pos_ != path_.size()) Fail("unexpected character");
    if (predicates > 1) Fail("more than one predicate");
    return result;
  }

 private:
  LocationStep ParseStep() {
    LocationStep step;
    const std::size_t begin = pos_;
    while (pos_ < path_.size() && IsNameChar(path_[pos_])) ++pos_;
    if (pos_ == begin) Fail("empty step");
    step.name = text::Cp1252ToUtf8(path_.substr(begin, pos_ - begin));
    if (Accept('[')) {
      SkipBlanks();
      Expect("@seq");
      SkipBlanks();
      Expect("=");
      SkipBlanks();
      step.seq = text::Cp1252ToUtf8(ParseLiteral());
      SkipBlanks();
      Expect("]");
    }
    return step;
  }

  std::string_view ParseLiteral() {
    if (pos_ >= path_.size() || (path_[pos_] != '"' && path_[pos_] != '\'')) Fail("literal expected");
    const char quote = path_[pos_++];
    const std::size_t end = path_.find(quote, pos_);
    if (end == std::string_view::npos) Fail("unterminated literal");
    const std::string_view literal = path_.substr(pos_, end - pos_);
    pos_ = end + 1;
    return literal;
  }

  static bool IsNameChar(char c) {
    return std::string_view("/[]@=\"' \t\r\n*()|:").find(c) == std::string_view::npos;
  }
  bool Accept(char c) {
    if (pos_ < path_.size() && path_[pos_] == c) {
      ++pos_;
      return true;
    }
    return false;
  }
  void Expect(std::string_view token) {
    if (path_.substr(pos_, token.size()) != token) Fail(std::string(token) + " expected");
    pos_ += token.size();
  }
  void SkipBlanks() {
    while (pos_ < path_.size() && (path_[pos_] == ' ' || path_[pos_] == '\t')) ++pos_;
  }
  [[noreturn]] void Fail(const std::string& what) const {
    throw std::invalid_argument("location path \"" + std::string(path_) + "\": " + what + " at " +
                                std::to_string(pos_));
  }

  std::string_view path_;
  std::size_t pos_ = 0;
};

}  // namespace

LocationPath ParseLocationPath(std::string_view path) { return PathParser(path).Parse(); }

}  // namespace exchange
