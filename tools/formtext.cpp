#include "tools/formtext.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <vector>

#include "core/exceptions.h"
#include "streaming/filer.h"

namespace tavelo::formtext {

namespace {

// ---- Compiling ----

enum class TToken { End, Newline, Ident, Number, String, Punct };

class TCompiler {
public:
  TCompiler(const std::string& source, const std::string& baseDir, const std::vector<std::string>& binaryDirs,
            TWriter& writer)
      : text_(source), baseDir_(baseDir), binaryDirs_(binaryDirs), writer_(writer) {
    Next();
  }

  String CompileRoot() {
    SkipNewlines();
    String rootClass = Object();
    SkipNewlines();
    if (kind_ != TToken::End) Fail("fin de fichier attendue après le composant racine");
    return rootClass;
  }

private:
  // Messages are literals of the program's code page, details UTF-8 from the source.
  [[noreturn]] void Fail(const char* message, const std::string& detail = std::string()) const {
    throw TFormError{tokenLine_, AnsiToUtf8(message) + detail};
  }

  void Next() {
    // Blanks and comments; a line break is a token of its own.
    for (;;) {
      while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\t' || text_[pos_] == '\r')) ++pos_;
      if (pos_ < text_.size() && text_[pos_] == '#') {
        while (pos_ < text_.size() && text_[pos_] != '\n') ++pos_;
        continue;
      }
      break;
    }
    tokenLine_ = line_;
    token_.clear();
    if (pos_ >= text_.size()) {
      kind_ = TToken::End;
      return;
    }
    char c = text_[pos_];
    auto identChar = [](char ch) {
      return (ch >= 'A' && ch <= 'Z') || (ch >= 'a' && ch <= 'z') || (ch >= '0' && ch <= '9') || ch == '_' || ch == '.';
    };
    if (c == '\n') {
      ++pos_;
      ++line_;
      kind_ = TToken::Newline;
    } else if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_') {
      while (pos_ < text_.size() && identChar(text_[pos_])) token_ += text_[pos_++];
      kind_ = TToken::Ident;
    } else if ((c >= '0' && c <= '9') || ((c == '-' || c == '+') && pos_ + 1 < text_.size() &&
                                          ((text_[pos_ + 1] >= '0' && text_[pos_ + 1] <= '9') || text_[pos_ + 1] == '.'))) {
      token_ += text_[pos_++];
      while (pos_ < text_.size() && (identChar(text_[pos_]) ||
                                     ((text_[pos_] == '-' || text_[pos_] == '+') &&
                                      (text_[pos_ - 1] == 'e' || text_[pos_ - 1] == 'E'))))
        token_ += text_[pos_++];
      kind_ = TToken::Number;
    } else if (c == '"') {
      ++pos_;
      kind_ = TToken::String;
      for (;;) {
        if (pos_ >= text_.size() || text_[pos_] == '\n') Fail("chaîne non terminée");
        char ch = text_[pos_++];
        if (ch == '"') break;
        if (ch != '\\') {
          token_ += ch;
          continue;
        }
        if (pos_ >= text_.size()) Fail("chaîne non terminée");
        char escape = text_[pos_++];
        switch (escape) {
          case '"': token_ += '"'; break;
          case '\\': token_ += '\\'; break;
          case 'n': token_ += '\n'; break;
          case 'r': token_ += '\r'; break;
          case 't': token_ += '\t'; break;
          case 'u': {
            std::size_t close = text_.find('}', pos_);
            if (pos_ >= text_.size() || text_[pos_] != '{' || close == std::string::npos) Fail("\\u{...} attendu");
            unsigned long code = std::strtoul(text_.substr(pos_ + 1, close - pos_ - 1).c_str(), nullptr, 16);
            token_ += WideToUtf8(code < 0x10000 ? WideString(1, static_cast<char16_t>(code))
                                                : WideString{static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10)),
                                                             static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF))});
            pos_ = close + 1;
            break;
          }
          default: Fail("séquence d'échappement inconnue : \\", std::string(1, escape));
        }
      }
    } else {
      token_ = std::string(1, c);
      ++pos_;
      kind_ = TToken::Punct;
    }
  }

  bool IsPunct(char c) const { return kind_ == TToken::Punct && token_[0] == c; }
  void Expect(char c) {
    if (!IsPunct(c)) Fail("attendu : ", std::string(1, c));
    Next();
  }
  void SkipNewlines() {
    while (kind_ == TToken::Newline || IsPunct(';')) Next();
  }
  std::string ExpectIdent(const char* what) {
    if (kind_ != TToken::Ident) Fail(what, " attendu");
    std::string name = token_;
    Next();
    return name;
  }

  // [inherited] [inline] [@N] Name: Class { body }
  String Object() {
    int flags = 0, position = 0;
    for (;;) {
      if (kind_ == TToken::Ident && token_ == "inherited") {
        flags |= ffInherited;
        Next();
      } else if (kind_ == TToken::Ident && token_ == "inline") {
        flags |= ffInline;
        Next();
      } else if (IsPunct('@')) {
        Next();
        if (kind_ != TToken::Number) Fail("position attendue après @");
        flags |= ffChildPos;
        position = static_cast<int>(std::strtol(token_.c_str(), nullptr, 10));
        Next();
      } else {
        break;
      }
    }
    std::string name;
    if (kind_ == TToken::Ident) name = ExpectIdent("nom");
    Expect(':');
    std::string className = ExpectIdent("nom de classe");
    Expect('{');
    writer_.WritePrefix(flags, position);
    writer_.WriteStr(className);
    writer_.WriteStr(name);
    Body(true);
    return className;
  }

  // Properties, then child objects, up to the closing brace.
  void Body(bool allowChildren) {
    bool inChildren = false;
    for (;;) {
      SkipNewlines();
      if (IsPunct('}')) {
        Next();
        break;
      }
      if (kind_ == TToken::End) Fail("attendu : }");
      bool isObject = IsPunct(':') || IsPunct('@') ||
                      (kind_ == TToken::Ident && (token_ == "inherited" || token_ == "inline") && PeekIsObject()) ||
                      (kind_ == TToken::Ident && PeekChar() == ':');
      if (isObject) {
        if (!allowChildren) Fail("un composant ne peut pas figurer ici");
        if (!inChildren) {
          writer_.WriteListEnd();
          inChildren = true;
        }
        Object();
        continue;
      }
      if (inChildren) Fail("les propriétés doivent précéder les composants enfants");
      std::string path = ExpectIdent("propriété");
      Expect('=');
      writer_.WriteStr(path);
      Value();
    }
    if (!inChildren) writer_.WriteListEnd();
    if (allowChildren) writer_.WriteListEnd();
  }

  char PeekChar() const {
    std::size_t p = pos_;
    while (p < text_.size() && (text_[p] == ' ' || text_[p] == '\t')) ++p;
    return p < text_.size() ? text_[p] : '\0';
  }
  bool PeekIsObject() const {
    char c = PeekChar();
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c == '@' || c == ':';
  }

  void Value() {
    if (kind_ == TToken::Number) {
      Number();
    } else if (kind_ == TToken::String) {
      writer_.WriteWideString(Utf8ToWide(token_));
      Next();
    } else if (kind_ == TToken::Ident) {
      std::string ident = token_;
      Next();
      if (IsPunct('(') || (ident == "binary" && IsPunct('{'))) {
        Call(ident);
      } else {
        writer_.WriteIdent(ident);
      }
    } else if (IsPunct('[')) {
      Next();
      std::vector<String> names;
      while (!IsPunct(']')) {
        SkipListSeparators();
        if (IsPunct(']')) break;
        names.push_back(ExpectIdent("élément d'ensemble"));
        SkipListSeparators();
      }
      Next();
      writer_.WriteSet(names);
    } else if (IsPunct('(')) {
      Next();
      writer_.WriteListBegin();
      for (;;) {
        SkipListSeparators();
        if (IsPunct(')')) break;
        if (kind_ == TToken::End) Fail("attendu : )");
        Value();
      }
      Next();
      writer_.WriteListEnd();
    } else if (IsPunct('<')) {
      Next();
      writer_.WriteValue(vaCollection);
      for (;;) {
        SkipNewlines();
        if (IsPunct('>')) break;
        if (kind_ == TToken::Number) {
          writer_.WriteInteger(std::strtoll(token_.c_str(), nullptr, 10));
          Next();
        }
        Expect('{');
        writer_.WriteListBegin();
        Body(false);
      }
      Next();
      writer_.WriteListEnd();
    } else {
      Fail("valeur attendue");
    }
  }

  void SkipListSeparators() {
    while (kind_ == TToken::Newline || IsPunct(',')) Next();
  }

  void Number() {
    const std::string& t = token_;
    bool isFloat = t.find_first_of(".eE") != std::string::npos && t.find_first_of("xX$") == std::string::npos;
    char* end = nullptr;
    errno = 0;
    if (isFloat) {
      long double value = std::strtold(t.c_str(), &end);
      if (*end || errno == ERANGE) Fail("nombre incorrect : ", t);
      writer_.WriteFloat(value);
    } else {
      long long value = std::strtoll(t.c_str(), &end, 10);
      if (*end || errno == ERANGE) Fail("nombre incorrect : ", t);
      writer_.WriteInteger(value);
    }
    Next();
  }

  long double CallNumber() {
    if (kind_ != TToken::Number) Fail("nombre attendu");
    char* end = nullptr;
    long double value = std::strtold(token_.c_str(), &end);
    if (*end) Fail("nombre incorrect : ", token_);
    Next();
    return value;
  }

  void Call(const std::string& name) {
    if (name == "binary" && IsPunct('{')) {
      // Inline bytes in hexadecimal, blanks and line breaks ignored.
      std::string bytes;
      std::size_t close = text_.find('}', pos_);
      if (close == std::string::npos) Fail("attendu : }");
      std::string digits;
      for (std::size_t i = pos_; i < close; ++i) {
        char ch = text_[i];
        if (ch == '\n') ++line_;
        if ((ch >= '0' && ch <= '9') || (ch >= 'a' && ch <= 'f') || (ch >= 'A' && ch <= 'F')) digits += ch;
        else if (ch != ' ' && ch != '\t' && ch != '\r' && ch != '\n') Fail("chiffre hexadécimal attendu");
      }
      if (digits.size() % 2) Fail("nombre impair de chiffres hexadécimaux");
      for (std::size_t i = 0; i < digits.size(); i += 2)
        bytes += static_cast<char>(std::strtol(digits.substr(i, 2).c_str(), nullptr, 16));
      pos_ = close + 1;
      Next();
      writer_.WriteBinary(bytes.data(), static_cast<std::int32_t>(bytes.size()));
      return;
    }
    Expect('(');
    if (name == "binary") {
      if (kind_ != TToken::String) Fail("nom de fichier attendu");
      std::string path = BinaryPath(token_);
      std::ifstream in(path, std::ios::binary);
      if (!in) Fail("fichier illisible : ", path);
      std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
      Next();
      writer_.WriteBinary(bytes.data(), static_cast<std::int32_t>(bytes.size()));
    } else if (name == "single") {
      writer_.WriteSingle(static_cast<float>(CallNumber()));
    } else if (name == "currency") {
      writer_.WriteCurrency(CallNumber());
    } else if (name == "date") {
      writer_.WriteDate(static_cast<double>(CallNumber()));
    } else {
      Fail("fonction inconnue : ", name);
    }
    Expect(')');
  }

  // Beside the source first, then in the folders where the build puts generated files.
  std::string BinaryPath(const std::string& name) const {
    if (!name.empty() && name[0] == '/') return name;
    std::string path = baseDir_ + "/" + name;
    if (std::ifstream(path, std::ios::binary)) return path;
    for (const std::string& dir : binaryDirs_) {
      std::string candidate = dir + "/" + name;
      if (std::ifstream(candidate, std::ios::binary)) return candidate;
    }
    return path;
  }

  const std::string& text_;
  std::string baseDir_;
  std::vector<std::string> binaryDirs_;
  TWriter& writer_;
  std::size_t pos_ = 0;
  long long line_ = 1;
  long long tokenLine_ = 1;
  TToken kind_ = TToken::End;
  std::string token_;
};

// ---- Dumping ----

class TDumper {
public:
  explicit TDumper(TReader& reader) : reader_(reader) {}

  std::string Run() {
    reader_.ReadSignature();
    Component(0);
    return out_;
  }

private:
  void Indent(int depth) { out_.append(static_cast<std::size_t>(depth) * 2, ' '); }

  void Component(int depth) {
    int flags = 0, position = 0;
    reader_.ReadPrefix(flags, position);
    String className = reader_.ReadStr();
    String name = reader_.ReadStr();
    Indent(depth);
    if (flags & ffInherited) out_ += "inherited ";
    if (flags & ffInline) out_ += "inline ";
    if (flags & ffChildPos) out_ += "@" + std::to_string(position) + " ";
    out_ += AnsiToUtf8(name) + ": " + AnsiToUtf8(className) + " {\n";
    Properties(depth + 1);
    while (!reader_.EndOfList()) Component(depth + 1);
    reader_.ReadValue();
    Indent(depth);
    out_ += "}\n";
  }

  void Properties(int depth) {
    while (!reader_.EndOfList()) {
      String name = reader_.ReadStr();
      Indent(depth);
      out_ += AnsiToUtf8(name) + " = ";
      Value(depth);
      out_ += "\n";
    }
    reader_.ReadValue();
  }

  static std::string Quote(const WideString& text) {
    std::string out = "\"";
    for (char16_t unit : text) {
      if (unit == '"') out += "\\\"";
      else if (unit == '\\') out += "\\\\";
      else if (unit == '\n') out += "\\n";
      else if (unit == '\r') out += "\\r";
      else if (unit == '\t') out += "\\t";
      else if (unit < 0x20 || (unit >= 0xD800 && unit < 0xE000) || unit == 0x7F) {
        char buffer[16];
        std::snprintf(buffer, sizeof buffer, "\\u{%X}", static_cast<unsigned>(unit));
        out += buffer;
      } else {
        out += WideToUtf8(WideString(1, unit));
      }
    }
    return out + "\"";
  }

  void Value(int depth) {
    char buffer[64];
    switch (reader_.NextValue()) {
      case vaList: {
        reader_.ReadValue();
        out_ += "(";
        bool first = true;
        while (!reader_.EndOfList()) {
          out_ += "\n";
          Indent(depth + 1);
          Value(depth + 1);
          first = false;
        }
        reader_.ReadValue();
        if (!first) {
          out_ += "\n";
          Indent(depth);
        }
        out_ += ")";
        break;
      }
      case vaInt8: case vaInt16: case vaInt32: case vaInt64:
        out_ += std::to_string(reader_.ReadInt64());
        break;
      case vaExtended: {
        std::snprintf(buffer, sizeof buffer, "%.21Lg", reader_.ReadFloat());
        std::string number = buffer;
        if (number.find_first_of(".eEn") == std::string::npos) number += ".0";
        out_ += number;
        break;
      }
      case vaSingle:
        std::snprintf(buffer, sizeof buffer, "single(%.9g)", static_cast<double>(reader_.ReadSingle()));
        out_ += buffer;
        break;
      case vaCurrency:
        std::snprintf(buffer, sizeof buffer, "currency(%.4Lf)", reader_.ReadCurrency());
        out_ += buffer;
        break;
      case vaDate:
        std::snprintf(buffer, sizeof buffer, "date(%.17g)", reader_.ReadDate());
        out_ += buffer;
        break;
      case vaString: case vaLString: case vaWString: case vaUTF8String:
        out_ += Quote(reader_.ReadWideString());
        break;
      case vaIdent: case vaFalse: case vaTrue: case vaNil: case vaNull:
        out_ += AnsiToUtf8(reader_.ReadIdent());
        break;
      case vaSet: {
        out_ += "[";
        std::vector<String> names = reader_.ReadSetNames();
        for (std::size_t i = 0; i < names.size(); ++i) out_ += (i ? ", " : "") + AnsiToUtf8(names[i]);
        out_ += "]";
        break;
      }
      case vaBinary: {
        reader_.ReadValue();
        std::string bytes = reader_.ReadBlock();
        out_ += "binary{";
        for (std::size_t i = 0; i < bytes.size(); ++i) {
          if (i % 32 == 0) {
            out_ += "\n";
            Indent(depth + 1);
          } else {
            out_ += " ";
          }
          std::snprintf(buffer, sizeof buffer, "%02X", static_cast<unsigned char>(bytes[i]));
          out_ += buffer;
        }
        out_ += "\n";
        Indent(depth);
        out_ += "}";
        break;
      }
      case vaCollection: {
        reader_.ReadValue();
        out_ += "<\n";
        while (!reader_.EndOfList()) {
          Indent(depth + 1);
          TValueType next = reader_.NextValue();
          if (next == vaInt8 || next == vaInt16 || next == vaInt32) out_ += std::to_string(reader_.ReadInteger()) + " ";
          reader_.ReadListBegin();
          out_ += "{\n";
          Properties(depth + 2);
          Indent(depth + 1);
          out_ += "}\n";
        }
        reader_.ReadValue();
        Indent(depth);
        out_ += ">";
        break;
      }
      default:
        TReader::PropValueError();
    }
  }

  TReader& reader_;
  std::string out_;
};

}  // namespace

TCompiled Compile(const std::string& source, const std::string& baseDir, const std::vector<std::string>& binaryDirs) {
  TMemoryStream stream;
  TCompiled result;
  {
    TWriter writer(stream, 4096);
    writer.WriteSignature();
    TCompiler compiler(source, baseDir, binaryDirs, writer);
    result.rootClass = compiler.CompileRoot();
    writer.FlushBuffer();
  }
  result.bytes.assign(static_cast<const char*>(stream.Memory()), static_cast<std::size_t>(stream.Size()));
  return result;
}

std::string Dump(TStream& stream) {
  TReader reader(stream, 4096);
  try {
    return TDumper(reader).Run();
  } catch (const Exception& e) {
    throw TFormError{reader.Position(), AnsiToUtf8(e.Message())};
  }
}

}  // namespace tavelo::formtext
