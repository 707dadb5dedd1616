#include "data/filter_expression.h"

#include <cmath>
#include <utility>

#include "base/text_routines.h"
#include "data/database_error.h"
#include "data/dataset.h"
#include "data/field.h"
#include "data/field_value.h"

namespace mero::data {

using base::Variant;
using Kind = base::Variant::Kind;

namespace {

enum class Tok { End, Name, Text, Number, LParen, RParen, Eq, Ne, Lt, Le, Gt, Ge, And, Or, Not, Is, Null, True, False };

struct Token {
  Tok kind = Tok::End;
  std::string text;          // name, text value or number as written
  std::size_t position = 0;  // 1-based
};

[[noreturn]] void Fail(const std::string& what, std::size_t position) {
  throw EDatabaseError("Filter expression error: " + what + " at position " + std::to_string(position));
}

bool NameStart(unsigned char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c >= 0x80; }
bool NameChar(unsigned char c) { return NameStart(c) || (c >= '0' && c <= '9') || c == '.' || c == '$'; }

// A number starts here: a digit, or '.' followed by a digit.
bool Digit(std::string_view s, std::size_t i) {
  if (i >= s.size()) return false;
  if (s[i] >= '0' && s[i] <= '9') return true;
  return s[i] == '.' && i + 1 < s.size() && s[i + 1] >= '0' && s[i + 1] <= '9';
}

// A '-' is the sign of a number where an operand is expected.
bool SignAllowed(const std::vector<Token>& before) {
  if (before.empty()) return true;
  const Tok k = before.back().kind;
  return k != Tok::Name && k != Tok::Number && k != Tok::Text && k != Tok::RParen && k != Tok::True &&
         k != Tok::False && k != Tok::Null;
}

std::vector<Token> Tokenize(std::string_view s) {
  std::vector<Token> out;
  std::size_t i = 0;
  while (true) {
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t' || s[i] == '\r' || s[i] == '\n')) ++i;
    Token t;
    t.position = i + 1;
    if (i >= s.size()) {
      out.push_back(t);
      return out;
    }
    const unsigned char c = static_cast<unsigned char>(s[i]);
    if (c == '\'') {
      std::string text;
      ++i;
      while (true) {
        if (i >= s.size()) Fail("unterminated text", t.position);
        if (s[i] == '\'') {
          if (i + 1 < s.size() && s[i + 1] == '\'') {
            text += '\'';
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        text += s[i++];
      }
      t.kind = Tok::Text;
      t.text = std::move(text);
    } else if (c == '[') {
      const std::size_t close = s.find(']', i + 1);
      if (close == std::string_view::npos) Fail("unterminated field name", t.position);
      t.kind = Tok::Name;
      t.text = std::string(s.substr(i + 1, close - i - 1));
      if (base::StrTrim(t.text).empty()) Fail("empty field name", t.position);
      i = close + 1;
    } else if (Digit(s, i) || (c == '-' && SignAllowed(out) && Digit(s, i + 1))) {
      const std::size_t start = i;
      if (c == '-') ++i;
      while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i;
      if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i;
      }
      if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) ++j;
        if (j < s.size() && s[j] >= '0' && s[j] <= '9') {
          i = j;
          while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i;
        }
      }
      if (i < s.size() && NameChar(static_cast<unsigned char>(s[i]))) Fail("invalid number", t.position);
      t.kind = Tok::Number;
      t.text = std::string(s.substr(start, i - start));
    } else if (NameStart(c)) {
      const std::size_t start = i;
      while (i < s.size() && NameChar(static_cast<unsigned char>(s[i]))) ++i;
      t.text = std::string(s.substr(start, i - start));
      const std::string upper = base::UpperStr(t.text);
      if (upper == "AND") t.kind = Tok::And;
      else if (upper == "OR") t.kind = Tok::Or;
      else if (upper == "NOT") t.kind = Tok::Not;
      else if (upper == "IS") t.kind = Tok::Is;
      else if (upper == "NULL") t.kind = Tok::Null;
      else if (upper == "TRUE") t.kind = Tok::True;
      else if (upper == "FALSE") t.kind = Tok::False;
      else t.kind = Tok::Name;
    } else {
      ++i;
      switch (c) {
        case '(':
          t.kind = Tok::LParen;
          break;
        case ')':
          t.kind = Tok::RParen;
          break;
        case '=':
          t.kind = Tok::Eq;
          break;
        case '<':
          if (i < s.size() && s[i] == '>') {
            t.kind = Tok::Ne;
            ++i;
          } else if (i < s.size() && s[i] == '=') {
            t.kind = Tok::Le;
            ++i;
          } else {
            t.kind = Tok::Lt;
          }
          break;
        case '>':
          if (i < s.size() && s[i] == '=') {
            t.kind = Tok::Ge;
            ++i;
          } else {
            t.kind = Tok::Gt;
          }
          break;
        default:
          Fail(std::string("invalid character '") + static_cast<char>(c) + "'", t.position);
      }
      t.text = std::string(s.substr(t.position - 1, i - (t.position - 1)));
    }
    out.push_back(std::move(t));
  }
}

}  // namespace

struct Operand {
  bool isField = false;
  std::string name;  // field name, or the literal as written
  std::size_t position = 0;
  int fieldIndex = -1;
  link::TFieldType type = link::ftUnknown;
  Tok literal = Tok::End;  // Text, Number, True or False
  Variant value;           // a literal's value, converted at binding
};

struct TLinkFilterTreeReader::Node {
  enum class Kind { Or, And, Not, Compare, IsNull, IsNotNull, Truth };
  Kind kind = Kind::Truth;
  Tok op = Tok::Eq;
  std::unique_ptr<Node> left, right;
  Operand a, b;
  // A text literal with '*' compared with '=' or '<>' against a text; the
  // pattern is b (or a when patternLeft).
  bool pattern = false;
  bool patternLeft = false;
};

namespace {

using Node = TLinkFilterTreeReader::Node;

class Parser {
 public:
  Parser(std::vector<Token> tokens, std::vector<std::string>& names) : tokens_(std::move(tokens)), names_(names) {}

  std::unique_ptr<Node> Parse() {
    auto n = Or();
    if (Peek().kind != Tok::End) Unexpected();
    return n;
  }

 private:
  // Binding, evaluation and the tree's destruction recurse over its depth,
  // which parentheses and NOT deepen one level each and every AND or OR one
  // more: both are bounded, so no text can exhaust the stack.
  static constexpr int kMaxNesting = 100;
  static constexpr int kMaxOperators = 1000;

  const Token& Peek() const { return tokens_[pos_]; }
  Token Take() { return tokens_[pos_ < tokens_.size() - 1 ? pos_++ : pos_]; }
  // Takes an AND, OR or NOT.
  void TakeOperator() {
    if (++operators_ > kMaxOperators) Fail("too many operators", Peek().position);
    Take();
  }
  struct Nesting {
    explicit Nesting(Parser& p) : parser(p) {
      if (++parser.nesting_ > kMaxNesting) Fail("expression nested too deeply", parser.Peek().position);
    }
    ~Nesting() { --parser.nesting_; }
    Nesting(const Nesting&) = delete;
    Nesting& operator=(const Nesting&) = delete;
    Parser& parser;
  };
  [[noreturn]] void Unexpected() {
    const Token& t = Peek();
    if (t.kind == Tok::End) Fail("unexpected end of expression", t.position);
    Fail("unexpected '" + t.text + "'", t.position);
  }

  std::unique_ptr<Node> Or() {
    auto left = And();
    while (Peek().kind == Tok::Or) {
      TakeOperator();
      auto n = std::make_unique<Node>();
      n->kind = Node::Kind::Or;
      n->left = std::move(left);
      n->right = And();
      left = std::move(n);
    }
    return left;
  }

  std::unique_ptr<Node> And() {
    auto left = Factor();
    while (Peek().kind == Tok::And) {
      TakeOperator();
      auto n = std::make_unique<Node>();
      n->kind = Node::Kind::And;
      n->left = std::move(left);
      n->right = Factor();
      left = std::move(n);
    }
    return left;
  }

  std::unique_ptr<Node> Factor() {
    if (Peek().kind == Tok::Not) {
      const Nesting nesting(*this);
      TakeOperator();
      auto n = std::make_unique<Node>();
      n->kind = Node::Kind::Not;
      n->left = Factor();
      return n;
    }
    if (Peek().kind == Tok::LParen) {
      const Nesting nesting(*this);
      Take();
      auto n = Or();
      if (Peek().kind != Tok::RParen) {
        if (Peek().kind == Tok::End) Fail("missing ')'", Peek().position);
        Unexpected();
      }
      Take();
      return n;
    }
    auto n = std::make_unique<Node>();
    n->a = ReadOperand();
    const Tok k = Peek().kind;
    if (k == Tok::Is) {
      Take();
      bool negate = false;
      if (Peek().kind == Tok::Not) {
        Take();
        negate = true;
      }
      if (Peek().kind != Tok::Null) Unexpected();
      Take();
      n->kind = negate ? Node::Kind::IsNotNull : Node::Kind::IsNull;
      return n;
    }
    if (k == Tok::Eq || k == Tok::Ne || k == Tok::Lt || k == Tok::Le || k == Tok::Gt || k == Tok::Ge) {
      Take();
      n->kind = Node::Kind::Compare;
      n->op = k;
      n->b = ReadOperand();
      return n;
    }
    if (n->a.isField || n->a.literal == Tok::True || n->a.literal == Tok::False) {
      n->kind = Node::Kind::Truth;
      return n;
    }
    Unexpected();
  }

  Operand ReadOperand() {
    const Token& t = Peek();
    Operand o;
    o.position = t.position;
    o.name = t.text;
    switch (t.kind) {
      case Tok::Name: {
        o.isField = true;
        const std::string upper = base::UpperStr(t.text);
        bool known = false;
        for (const std::string& n : names_) known = known || base::UpperStr(n) == upper;
        if (!known) names_.push_back(t.text);
        break;
      }
      case Tok::Text:
        o.literal = Tok::Text;
        o.value = Variant::Text(t.text);
        break;
      case Tok::Number: {
        o.literal = Tok::Number;
        double d = 0;
        if (!ReadNumber(t.text, d)) Fail("invalid number", t.position);
        o.value = Variant::Double(d);
        break;
      }
      case Tok::True:
      case Tok::False:
        o.literal = t.kind;
        o.value = Variant::Boolean(t.kind == Tok::True);
        break;
      default:
        Unexpected();
    }
    Take();
    return o;
  }

  std::vector<Token> tokens_;
  std::size_t pos_ = 0;
  int nesting_ = 0;
  int operators_ = 0;
  std::vector<std::string>& names_;
};

bool NumericKind(Kind k) {
  return k == Kind::Integer || k == Kind::Int64 || k == Kind::Double || k == Kind::Date || k == Kind::Boolean;
}

double AsNumber(const Variant& v) {
  return v.kind() == Kind::Double || v.kind() == Kind::Date ? v.AsDouble() : static_cast<double>(v.AsInt64());
}

// '*' matches any run of characters (also none).
bool Glob(std::string_view text, std::string_view pattern) {
  std::size_t t = 0, p = 0, star = std::string_view::npos, mark = 0;
  while (t < text.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      star = p++;
      mark = t;
    } else if (p < pattern.size() && pattern[p] == text[t]) {
      ++p;
      ++t;
    } else if (star != std::string_view::npos) {
      p = star + 1;
      t = ++mark;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

std::string Text(const Variant& v, bool caseInsensitive) {
  std::string s = v.kind() == Kind::Text || v.kind() == Kind::Bytes ? v.AsText() : ValueText(v, link::ftDateTime);
  return caseInsensitive ? base::UpperStr(s) : s;
}

int Compare(const Variant& a, const Variant& b, bool caseInsensitive) {
  if (NumericKind(a.kind()) && NumericKind(b.kind())) {
    if (a.kind() == Kind::Int64 && b.kind() == Kind::Int64) {
      return a.AsInt64() < b.AsInt64() ? -1 : a.AsInt64() > b.AsInt64() ? 1 : 0;
    }
    const double x = AsNumber(a), y = AsNumber(b);
    return x < y ? -1 : x > y ? 1 : 0;
  }
  const int c = Text(a, caseInsensitive).compare(Text(b, caseInsensitive));
  return c < 0 ? -1 : c > 0 ? 1 : 0;
}

// A literal compared with a field of the type, as that field holds values.
Variant ConvertLiteral(const Operand& lit, const Operand& field) {
  using namespace link;
  const link::TFieldType t = field.type;
  const std::string bad =
      "Filter expression error: '" + lit.name + "' is not a valid value for field '" + field.name + "'";
  if (IsTextType(t) || IsLongType(t) || t == ftBytes) {
    return Variant::Text(lit.literal == Tok::Text ? lit.value.AsText() : lit.name);
  }
  if (t == ftBoolean) {
    if (lit.literal == Tok::True || lit.literal == Tok::False) return lit.value;
    if (lit.literal == Tok::Number) return Variant::Boolean(lit.value.AsDouble() != 0);
    bool b = false;
    if (!ReadBoolean(lit.value.AsText(), b)) throw EDatabaseError(bad);
    return Variant::Boolean(b);
  }
  if (IsDateType(t)) {
    if (lit.literal == Tok::Number) return Variant::Date(lit.value.AsDouble());
    base::TDateTime d = 0;
    if (lit.literal != Tok::Text || !ReadDate(lit.value.AsText(), t, d)) throw EDatabaseError(bad);
    return Variant::Date(NormalizeDate(d, t));
  }
  if (IsNumericType(t)) {
    if (lit.literal == Tok::Number) return lit.value;
    double d = 0;
    if (lit.literal != Tok::Text || !ReadNumber(lit.value.AsText(), d)) throw EDatabaseError(bad);
    return Variant::Double(d);
  }
  return lit.value;
}

}  // namespace

TLinkFilterTreeReader::TLinkFilterTreeReader(std::string_view expression) : expression_(expression) {
  Parser parser(Tokenize(expression), names_);
  root_ = parser.Parse();
}

TLinkFilterTreeReader::~TLinkFilterTreeReader() = default;

void TLinkFilterTreeReader::Bind(const Resolver& resolver,
                                 const std::function<void(const std::string& name)>& unknownName) {
  bound_ = false;
  auto bindOperand = [&](Operand& o) {
    if (!o.isField) return;
    const std::optional<FieldRef> ref = resolver(o.name);
    if (!ref) {
      unknownName(o.name);
      throw EDatabaseError(FieldNotFoundText("Filter", o.name));
    }
    o.fieldIndex = ref->index;
    o.type = ref->type;
  };
  auto bind = [&](auto& self, Node* n) -> void {
    if (n == nullptr) return;
    self(self, n->left.get());
    self(self, n->right.get());
    switch (n->kind) {
      case Node::Kind::Compare:
        bindOperand(n->a);
        bindOperand(n->b);
        n->pattern = false;
        if (n->a.isField && !n->b.isField) n->b.value = ConvertLiteral(n->b, n->a);
        if (n->b.isField && !n->a.isField) n->a.value = ConvertLiteral(n->a, n->b);
        if (n->op == Tok::Eq || n->op == Tok::Ne) {
          auto star = [](const Operand& o) {
            return !o.isField && o.value.kind() == Kind::Text && o.value.AsText().find('*') != std::string::npos;
          };
          const Operand* lit = star(n->b) ? &n->b : star(n->a) ? &n->a : nullptr;
          const Operand* other = lit == &n->b ? &n->a : &n->b;
          n->pattern = lit != nullptr && (!other->isField || IsTextType(other->type) || IsLongType(other->type));
          n->patternLeft = lit == &n->a;
        }
        break;
      case Node::Kind::IsNull:
      case Node::Kind::IsNotNull:
        bindOperand(n->a);
        break;
      case Node::Kind::Truth:
        bindOperand(n->a);
        if (n->a.isField && n->a.type != link::ftBoolean) {
          Fail("field '" + n->a.name + "' is not a boolean field", n->a.position);
        }
        break;
      default:
        break;
    }
  };
  bind(bind, root_.get());
  bound_ = true;
}

bool TLinkFilterTreeReader::Evaluate(const RowValues& row, unsigned options) const {
  const bool ci = (options & foCaseInsensitive) != 0;
  const bool partial = (options & foNoPartialCompare) == 0;
  auto value = [&](const Operand& o) { return o.isField ? row.Value(o.fieldIndex) : o.value; };
  auto eval = [&](auto& self, const Node* n) -> bool {
    switch (n->kind) {
      case Node::Kind::Or:
        return self(self, n->left.get()) || self(self, n->right.get());
      case Node::Kind::And:
        return self(self, n->left.get()) && self(self, n->right.get());
      case Node::Kind::Not:
        return !self(self, n->left.get());
      case Node::Kind::IsNull:
        return value(n->a).IsNull();
      case Node::Kind::IsNotNull:
        return !value(n->a).IsNull();
      case Node::Kind::Truth: {
        const Variant v = value(n->a);
        return !v.IsNull() && v.AsBoolean();
      }
      case Node::Kind::Compare: {
        const Variant a = value(n->a);
        const Variant b = value(n->b);
        if (a.IsNull() || b.IsNull() || a.IsEmpty() || b.IsEmpty()) return false;
        if (n->pattern && partial) {
          const Variant& text = n->patternLeft ? b : a;
          const Variant& pattern = n->patternLeft ? a : b;
          const bool match = Glob(Text(text, ci), Text(pattern, ci));
          return n->op == Tok::Eq ? match : !match;
        }
        const int c = Compare(a, b, ci);
        switch (n->op) {
          case Tok::Eq:
            return c == 0;
          case Tok::Ne:
            return c != 0;
          case Tok::Lt:
            return c < 0;
          case Tok::Le:
            return c <= 0;
          case Tok::Gt:
            return c > 0;
          default:
            return c >= 0;
        }
      }
    }
    return false;
  };
  return eval(eval, root_.get());
}

}  // namespace mero::data
