#include "tables/table.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <limits>
#include <unordered_map>

#include "tables/dbf_format.h"
#include "tables/table_file.h"
#include "tables/working_folder.h"
#include "text/cp1252.h"
#include "text/file_io.h"
#include "text/integer_text.h"

namespace tables {

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kNone = static_cast<std::size_t>(-1);

const char kNotEditing[] = "La fuente de datos no está en modo de edición o inserción";

std::string Utf8(std::string_view cp1252) { return text::Cp1252ToUtf8(cp1252); }

[[noreturn]] void NotANumber(std::string_view stored) {
  throw UserError("'" + Utf8(stored) + "' no es un valor numérico válido");
}

[[noreturn]] void NoSuchField(std::string_view name) {
  throw UserError("No se encuentra el campo '" + Utf8(name) + "'");
}

// Blanks off both ends (and the NULs some writers pad with).
std::string_view TrimBlanks(std::string_view s) {
  s = dbf::TrimStoredText(s);
  const std::size_t begin = s.find_first_not_of(' ');
  return begin == std::string_view::npos ? std::string_view() : s.substr(begin);
}

// A decimal number as dBase stores it: optional sign, digits, optional point
// and digits.
bool ParseDecimal(std::string_view s, double& value) {
  if (s.empty() || s.front() == '+') {
    if (s.size() < 2) return false;
    s.remove_prefix(1);
  }
  const char* end = s.data() + s.size();
  const auto [ptr, ec] = std::from_chars(s.data(), end, value, std::chars_format::fixed);
  return ec == std::errc() && ptr == end && std::isfinite(value);
}

// A number's decimal text: whole numbers without decimals ("3"), others with
// as many digits as they need ("2.5").
std::string FormatNumber(double value) {
  if (value == 0) return "0";
  char buffer[64];
  const bool whole = std::nearbyint(value) == value && std::fabs(value) < 1e15;
  std::snprintf(buffer, sizeof buffer, whole ? "%.0f" : "%.15g", value);
  return buffer;
}

struct Date {
  std::uint8_t year, month, day;
};

Date Today() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return {static_cast<std::uint8_t>(std::clamp(local.tm_year, 0, 255)),
          static_cast<std::uint8_t>(local.tm_mon + 1), static_cast<std::uint8_t>(local.tm_mday)};
}

dbf::FieldDescriptor DescriptorFor(const TFieldDef& def) {
  dbf::FieldDescriptor field;
  field.name = def.Name;
  switch (def.DataType) {
    case TFieldType::ftString:
      field.type = dbf::kTypeCharacter;
      field.length = static_cast<std::uint8_t>(std::clamp(def.Size, 0, dbf::kMaxCharacterWidth));
      break;
    case TFieldType::ftInteger:
      field.type = dbf::kTypeNumeric;
      field.length = dbf::kIntegerWidth;
      break;
    case TFieldType::ftBoolean:
      field.type = dbf::kTypeLogical;
      field.length = 1;
      break;
    case TFieldType::ftFloat:
      field.type = dbf::kTypeNumeric;
      field.length = dbf::kFloatWidth;
      field.decimals = dbf::kFloatDecimals;
      break;
  }
  return field;
}

// How a field found on disk shows through Fields().
TFieldDef DefinitionOf(const dbf::FieldDescriptor& field) {
  TFieldDef def;
  def.Name = field.name;
  switch (field.type) {
    case dbf::kTypeLogical: def.DataType = TFieldType::ftBoolean; break;
    case dbf::kTypeInteger:
    case dbf::kTypeAutoIncrement: def.DataType = TFieldType::ftInteger; break;
    case dbf::kTypeFloat:
    case dbf::kTypeDouble: def.DataType = TFieldType::ftFloat; break;
    case dbf::kTypeNumeric:
      def.DataType = field.decimals == 0 ? TFieldType::ftInteger : TFieldType::ftFloat;
      break;
    default:
      def.DataType = TFieldType::ftString;
      def.Size = field.length;
  }
  return def;
}

// The only filter form the runs use: FIELD= 'value', quoted as QuotedStr
// quotes. Returns false for anything else.
bool ParseFilter(std::string_view expression, std::string& field, std::string& value) {
  std::size_t i = 0;
  const auto skipBlanks = [&] {
    while (i < expression.size() && expression[i] == ' ') ++i;
  };
  const auto isNameChar = [](char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
  };
  skipBlanks();
  const std::size_t nameStart = i;
  while (i < expression.size() && isNameChar(expression[i])) ++i;
  field = std::string(expression.substr(nameStart, i - nameStart));
  skipBlanks();
  if (field.empty() || i >= expression.size() || expression[i] != '=') return false;
  ++i;
  skipBlanks();
  if (i >= expression.size() || expression[i] != '\'') return false;
  ++i;
  value.clear();
  while (true) {
    if (i >= expression.size()) return false;  // unterminated quote
    if (expression[i] == '\'') {
      if (i + 1 < expression.size() && expression[i + 1] == '\'') {
        value += '\'';
        i += 2;
        continue;
      }
      ++i;
      break;
    }
    value += expression[i++];
  }
  skipBlanks();
  return i == expression.size();
}

}  // namespace

// ---------------------------------------------------------------------------

void TFieldDefs::Add(std::string_view name, TFieldType type, int size, bool required) {
  defs_.push_back(TFieldDef{std::string(name), type, size, required});
}

std::string QuotedStr(std::string_view s) {
  std::string quoted = "'";
  for (const char c : s) {
    quoted += c;
    if (c == '\'') quoted += '\'';
  }
  return quoted + "'";
}

struct TTable::Impl {
  std::string folder;
  std::string tableName;
  TTableType tableType = TTableType::ttDefault;
  bool exclusive = false;
  std::string filter;
  bool filtered = false;

  // While open:
  bool active = false;
  fs::path path;
  LockedFile file;
  dbf::TableImage image;
  bool level7 = false;
  std::vector<TFieldDef> visibleFields;
  std::vector<std::size_t> descriptorOf;  // visible field -> descriptor
  bool changed = false;                   // records differ from the file
  std::size_t current = kNone;            // record number, kNone for none
  bool eof = true;
  TDataSetState state = TDataSetState::dsInactive;
  std::string buffer;  // the record being inserted or edited
  bool modified = false;
  std::size_t editing = kNone;
  bool filtering = false;
  std::size_t filterField = 0;
  std::string filterValue;
  // The records that pass the filter, in stored order, taken from an index of
  // the filtered field's values. The Horalia-to-Séneca run filters SOLUC once
  // per teacher: walking the whole table each time would make the run grow
  // with the square of the timetable. Any stored change drops the index.
  std::size_t indexedField = kNone;
  std::unordered_map<std::string, std::vector<std::size_t>> recordsByValue;
  std::vector<std::size_t> filterMatches;
  bool matchesStale = true;

  fs::path ResolvedPath() const { return TableFile(fs::path(folder), tableName); }

  // "CURSOST (/home/u/.wine/drive_c/HTEMP/CURSOST.DBF)" for messages.
  std::string Label(const fs::path& file) const {
    std::string name = files::PathText(fs::path(tableName).stem());
    return name + " (" + files::PathText(file) + ")";
  }
  std::string Label() const { return Label(active ? path : ResolvedPath()); }

  void RequireActive() const {
    if (!active) {
      throw UserError("La tabla " + Label() +
                      " está cerrada: no se puede hacer esta operación con una tabla cerrada.");
    }
  }

  std::string_view Record(std::size_t n) const {
    return std::string_view(image.records).substr(n * image.recordLength(), image.recordLength());
  }

  // The record whose fields FieldByName shows: the one in progress, else the
  // current one; none (fields read empty) on an empty table.
  std::string_view ShownRecord() const {
    if (state == TDataSetState::dsEdit || state == TDataSetState::dsInsert) return buffer;
    if (current == kNone) return {};
    return Record(current);
  }

  const dbf::FieldDescriptor& Descriptor(std::size_t visible) const {
    return image.fields[descriptorOf[visible]];
  }

  std::string AsString(std::size_t visible, std::string_view record) const;

  bool Passes(std::size_t n) const {
    const std::string_view record = Record(n);
    if (record[0] == dbf::kRecordDeleted) return false;
    return !filtering || AsString(filterField, record) == filterValue;
  }

  std::size_t NextPassing(std::size_t from) {
    if (filtering) {
      if (matchesStale) IndexFilterMatches();
      const auto it = std::lower_bound(filterMatches.begin(), filterMatches.end(), from);
      return it == filterMatches.end() ? kNone : *it;
    }
    for (std::size_t n = from; n < image.recordCount(); ++n) {
      if (Passes(n)) return n;
    }
    return kNone;
  }

  void IndexFilterMatches() {
    if (indexedField != filterField) {
      recordsByValue.clear();
      for (std::size_t n = 0; n < image.recordCount(); ++n) {
        const std::string_view record = Record(n);
        if (record[0] == dbf::kRecordDeleted) continue;
        recordsByValue[AsString(filterField, record)].push_back(n);
      }
      indexedField = filterField;
    }
    const auto found = recordsByValue.find(filterValue);
    filterMatches = found == recordsByValue.end() ? std::vector<std::size_t>{} : found->second;
    matchesStale = false;
  }
  void ForgetFilterIndex() {
    indexedField = kNone;
    recordsByValue.clear();
    matchesStale = true;
  }

  void Open();
  void Close();
  void First() {
    current = NextPassing(0);
    eof = current == kNone;
  }
  void StoreRecord();
  // Leaves edit or insert state the way navigation does: a record with
  // changes is stored, one without is dropped.
  void EndEditing() {
    if (state != TDataSetState::dsEdit && state != TDataSetState::dsInsert) return;
    if (modified) {
      StoreRecord();
    } else {
      DropRecord();
    }
  }
  void DropRecord() {
    buffer.clear();
    editing = kNone;
    modified = false;
    state = TDataSetState::dsBrowse;
  }
  void StartInsert() {
    buffer = dbf::BlankRecord(image);
    modified = false;
    editing = kNone;
    state = TDataSetState::dsInsert;
  }
  void ApplyFilter();

  // The bytes of a field of the record in progress, for writing.
  struct Writable {
    const dbf::FieldDescriptor& field;
    char* out;
  };
  Writable WritableField(std::size_t visible);
  void StoreNumber(const Writable& w, double value);
};

void TTable::Impl::Open() {
  path = ResolvedPath();
  const std::string label = Label(path);
  if (!file.Acquire(path, exclusive, label)) {
    throw UserError("No se encuentra la tabla " + label +
                    ". Compruebe que existe en la carpeta de trabajo.");
  }
  try {
    image = dbf::DecodeTable(file.ReadAll(label), label);
    level7 = dbf::IsLevel7(image.fileHeader.version);
    visibleFields.clear();
    descriptorOf.clear();
    for (std::size_t i = 0; i < image.fields.size(); ++i) {
      if (text::SameTextIgnoringCase(image.fields[i].name, dbf::kDbaseLockField)) continue;
      visibleFields.push_back(DefinitionOf(image.fields[i]));
      descriptorOf.push_back(i);
    }
    active = true;
    changed = false;
    state = TDataSetState::dsBrowse;
    buffer.clear();
    modified = false;
    editing = kNone;
    filtering = false;
    if (filtered) ApplyFilter();
    First();
  } catch (...) {
    active = false;
    state = TDataSetState::dsInactive;
    image = {};
    file.Release();
    throw;
  }
}

void TTable::Impl::Close() {
  struct Reset {
    Impl& t;
    ~Reset() {
      t.file.Release();
      t.active = false;
      t.state = TDataSetState::dsInactive;
      t.image = {};
      t.visibleFields.clear();
      t.descriptorOf.clear();
      t.buffer.clear();
      t.current = kNone;
      t.eof = true;
      t.changed = false;
      t.filtering = false;
      t.ForgetFilterIndex();
    }
  } reset{*this};
  EndEditing();
  if (changed) {
    const Date today = Today();
    ReplaceFile(path, dbf::EncodeTable(image, today.year, today.month, today.day), Label(path));
  }
}

void TTable::Impl::StoreRecord() {
  if (modified || state == TDataSetState::dsInsert) ForgetFilterIndex();
  if (state == TDataSetState::dsInsert) {
    image.records += buffer;
    current = image.recordCount() - 1;
    eof = false;
    changed = true;
  } else if (state == TDataSetState::dsEdit && modified) {
    image.records.replace(editing * image.recordLength(), image.recordLength(), buffer);
    changed = true;
  }
  DropRecord();
}

void TTable::Impl::ApplyFilter() {
  filtering = false;
  if (!filtered || filter.empty()) return;
  std::string fieldName, value;
  if (!ParseFilter(filter, fieldName, value)) {
    throw UserError("Filtro no admitido en la tabla " + Label() + ": " + Utf8(filter) +
                    ". Solo se admite la forma CAMPO= 'valor'.");
  }
  for (std::size_t i = 0; i < visibleFields.size(); ++i) {
    if (text::SameTextIgnoringCase(visibleFields[i].Name, fieldName)) {
      filterField = i;
      filterValue = std::move(value);
      filtering = true;
      matchesStale = true;
      return;
    }
  }
  NoSuchField(fieldName);
}

// ---------------------------------------------------------------------------
// Reading and writing one field.

std::string TTable::Impl::AsString(std::size_t visible, std::string_view record) const {
  if (record.empty()) return {};
  const dbf::FieldDescriptor& field = Descriptor(visible);
  const std::string_view bytes = dbf::FieldBytes(record, field);
  switch (field.type) {
    case dbf::kTypeCharacter:
    case dbf::kTypeDate: return std::string(dbf::TrimStoredText(bytes));
    case dbf::kTypeMemo: return {};  // the memo lives in another file, not read
    case dbf::kTypeNumeric:
    case dbf::kTypeFloat: {
      const std::string_view stored = TrimBlanks(bytes);
      double value = 0;
      if (ParseDecimal(stored, value)) return FormatNumber(value);
      return std::string(stored);  // shown as stored, so that a reader sees what is there
    }
    case dbf::kTypeLogical:
      switch (bytes[0]) {
        case 'T': case 't': case 'Y': case 'y': return "True";
        case 'F': case 'f': case 'N': case 'n': return "False";
        default: return {};  // blank or "?": not set
      }
    case dbf::kTypeInteger:
    case dbf::kTypeAutoIncrement:
    case dbf::kTypeDouble: {
      double value = 0;
      return dbf::DecodeBinaryNumber(bytes, field.type, level7, value) ? FormatNumber(value) : "";
    }
    default:
      throw UserError("El campo '" + Utf8(field.name) + "' de la tabla " + Label() + " es de tipo " +
                      Utf8(std::string(1, field.type)) + ", que este programa no sabe leer.");
  }
}

std::string TField::AsString() const {
  table_->impl_->RequireActive();
  return table_->impl_->AsString(index_, table_->impl_->ShownRecord());
}

std::int32_t TField::AsInteger() const {
  const TTable::Impl& t = *table_->impl_;
  t.RequireActive();
  const std::string_view record = t.ShownRecord();
  if (record.empty()) return 0;
  const dbf::FieldDescriptor& field = t.Descriptor(index_);
  const std::string_view bytes = dbf::FieldBytes(record, field);
  if (dbf::IsNumeric(field.type)) {
    double value = 0;
    const std::string_view stored = TrimBlanks(bytes);
    const bool hasValue = dbf::IsTextStored(field.type)
                              ? !stored.empty() && ParseDecimal(stored, value)
                              : dbf::DecodeBinaryNumber(bytes, field.type, t.level7, value);
    if (!hasValue && dbf::IsTextStored(field.type) && !stored.empty()) text::ThrowNotAnInteger(stored);
    if (!hasValue) return 0;
    // A number with decimals is not a whole number: refused rather than rounded.
    if (std::nearbyint(value) != value || value < std::numeric_limits<std::int32_t>::min() ||
        value > std::numeric_limits<std::int32_t>::max()) {
      text::ThrowNotAnInteger(dbf::IsTextStored(field.type) ? std::string(stored) : FormatNumber(value));
    }
    return static_cast<std::int32_t>(value);
  }
  const std::string shown = t.AsString(index_, record);
  const std::string_view stored = TrimBlanks(shown);
  if (stored.empty()) return 0;
  if (field.type == dbf::kTypeLogical) text::ThrowNotAnInteger(stored);
  return text::ToInt32(stored);  // "03" in a text field is 3
}

bool TField::AsBoolean() const {
  const std::string shown = AsString();
  return !shown.empty() && (shown[0] == 'T' || shown[0] == 't' || shown[0] == 'Y' || shown[0] == 'y');
}

double TField::AsFloat() const {
  const TTable::Impl& t = *table_->impl_;
  const std::string shown = AsString();
  const std::string_view stored = TrimBlanks(shown);
  if (stored.empty()) return 0;
  double value = 0;
  if (t.Descriptor(index_).type == dbf::kTypeLogical || !ParseDecimal(stored, value)) NotANumber(stored);
  return value;
}

TTable::Impl::Writable TTable::Impl::WritableField(std::size_t visible) {
  RequireActive();
  if (state != TDataSetState::dsEdit && state != TDataSetState::dsInsert) throw UserError(kNotEditing);
  const dbf::FieldDescriptor& field = Descriptor(visible);
  modified = true;
  return {field, buffer.data() + field.offset};
}

void TTable::Impl::StoreNumber(const Writable& w, double value) {
  const dbf::FieldDescriptor& field = w.field;
  if (!dbf::IsTextStored(field.type)) {
    // Level 7 keeps the lowest 32-bit value for "no value" (all bits zero).
    const double lowest = std::numeric_limits<std::int32_t>::min() + (level7 ? 1 : 0);
    const bool fits = field.type == dbf::kTypeDouble ||
                      (std::nearbyint(value) == value && value >= lowest &&
                       value <= std::numeric_limits<std::int32_t>::max());
    if (!fits) {
      throw UserError("El valor " + FormatNumber(value) + " no cabe en el campo '" + Utf8(field.name) +
                      "' de la tabla " + Label() + ".");
    }
    dbf::EncodeBinaryNumber(value, field.type, level7, w.out, field.length);
    return;
  }
  const int decimals = std::min<int>(field.decimals, 15);
  char digits[400];
  const int size = std::snprintf(digits, sizeof digits, "%.*f", decimals, value);
  if (size < 0 || static_cast<std::size_t>(size) > field.length) {
    throw UserError("El valor " + FormatNumber(value) + " no cabe en el campo '" + Utf8(field.name) +
                    "' de la tabla " + Label() + " (" + std::to_string(field.length) +
                    " cifras con " + std::to_string(field.decimals) + " decimales).");
  }
  dbf::EncodeStoredText(std::string_view(digits, static_cast<std::size_t>(size)), true, w.out,
                        field.length);
}

void TField::SetAsString(std::string_view cp1252) {
  TTable::Impl& t = *table_->impl_;
  const TTable::Impl::Writable w = t.WritableField(index_);
  const char type = w.field.type;
  if (type == dbf::kTypeCharacter || type == dbf::kTypeDate) {
    dbf::EncodeStoredText(cp1252, false, w.out, w.field.length);
    return;
  }
  const std::string_view given = TrimBlanks(cp1252);
  if (type == dbf::kTypeLogical) {
    if (given.empty()) {
      *w.out = ' ';
    } else if (std::strchr("TtYy", given[0]) != nullptr) {
      *w.out = 'T';
    } else if (std::strchr("FfNn", given[0]) != nullptr) {
      *w.out = 'F';
    } else {
      throw UserError("'" + Utf8(given) + "' no es un valor lógico válido");
    }
    return;
  }
  if (dbf::IsNumeric(type)) {
    if (given.empty()) {
      std::memset(w.out, dbf::IsTextStored(type) ? ' ' : '\0', w.field.length);
      return;
    }
    double value = 0;
    if (!ParseDecimal(given, value)) NotANumber(given);
    t.StoreNumber(w, value);
    return;
  }
  throw UserError("El campo '" + Utf8(w.field.name) + "' de la tabla " + t.Label() +
                  " es de tipo " + Utf8(std::string(1, type)) + ", que este programa no escribe.");
}

void TField::SetAsInteger(std::int32_t value) {
  TTable::Impl& t = *table_->impl_;
  const TTable::Impl::Writable w = t.WritableField(index_);
  if (dbf::IsNumeric(w.field.type)) {
    t.StoreNumber(w, value);
  } else {
    SetAsString(std::to_string(value));
  }
}

void TField::SetAsBoolean(bool value) {
  TTable::Impl& t = *table_->impl_;
  const TTable::Impl::Writable w = t.WritableField(index_);
  if (dbf::IsNumeric(w.field.type)) {
    t.StoreNumber(w, value ? 1 : 0);
  } else {
    SetAsString(value ? "T" : "F");
  }
}

void TField::SetAsFloat(double value) {
  TTable::Impl& t = *table_->impl_;
  const TTable::Impl::Writable w = t.WritableField(index_);
  if (!std::isfinite(value)) NotANumber(FormatNumber(value));
  if (dbf::IsNumeric(w.field.type)) {
    t.StoreNumber(w, value);
  } else {
    SetAsString(FormatNumber(value));
  }
}

const std::string& TField::FieldName() const {
  table_->impl_->RequireActive();
  return table_->impl_->visibleFields[index_].Name;
}

// ---------------------------------------------------------------------------
// The table.

TTable::TTable() : impl_(std::make_unique<Impl>()) {}

TTable::~TTable() {
  try {
    SetActive(false);
  } catch (const std::exception& e) {
    // A destructor cannot report to its caller; the message must not vanish.
    std::fprintf(stderr, "%s\n", e.what());
  }
}

void TTable::SetDatabaseName(std::string_view folder) { impl_->folder = std::string(folder); }
const std::string& TTable::DatabaseName() const { return impl_->folder; }
void TTable::SetTableName(std::string_view name) { impl_->tableName = std::string(name); }
const std::string& TTable::TableName() const { return impl_->tableName; }
void TTable::SetTableType(TTableType type) { impl_->tableType = type; }
TTableType TTable::TableType() const { return impl_->tableType; }
void TTable::SetExclusive(bool exclusive) { impl_->exclusive = exclusive; }
bool TTable::Exclusive() const { return impl_->exclusive; }

std::string TTable::FilePath() const {
  return files::PathText(impl_->active ? impl_->path : impl_->ResolvedPath());
}

void TTable::CreateTable() {
  Impl& t = *impl_;
  const fs::path path = t.ResolvedPath();
  const std::string label = t.Label(path);
  if (t.active) throw UserError("No se puede crear la tabla " + label + " mientras está abierta.");
  const fs::path folder = files::FolderOf(path);
  std::error_code ec;
  if (!fs::is_directory(folder, ec)) {
    throw UserError("No se puede crear la tabla " + label + ": no existe la carpeta " +
                    files::PathText(folder) + ".");
  }
  std::vector<dbf::FieldDescriptor> fields;
  for (const TFieldDef& def : FieldDefs.Items()) {
    if (def.DataType == TFieldType::ftString && (def.Size < 1 || def.Size > dbf::kMaxCharacterWidth)) {
      throw UserError("No se puede crear la tabla " + label + ": el campo '" + Utf8(def.Name) +
                      "' tiene un ancho de " + std::to_string(def.Size) +
                      ", y un campo de texto admite de 1 a 254.");
    }
    fields.push_back(DescriptorFor(def));
  }
  const dbf::TableImage image = dbf::NewTableImage(std::move(fields), label);
  // A table that another program holds open is not replaced under its feet.
  LockedFile existing;
  existing.Acquire(path, true, label);
  const Date today = Today();
  ReplaceFile(path, dbf::EncodeTable(image, today.year, today.month, today.day), label);
}

void TTable::SetActive(bool active) {
  if (active == impl_->active) return;
  if (active) {
    impl_->Open();
  } else {
    impl_->Close();
  }
}

bool TTable::Active() const { return impl_->active; }

void TTable::First() {
  impl_->RequireActive();
  impl_->EndEditing();
  impl_->First();
}

void TTable::Next() {
  Impl& t = *impl_;
  t.RequireActive();
  t.EndEditing();
  const std::size_t next = t.current == kNone ? kNone : t.NextPassing(t.current + 1);
  if (next == kNone) {
    t.eof = true;  // stays on the last record, as a walk expects
  } else {
    t.current = next;
    t.eof = false;
  }
}

bool TTable::Eof() const { return !impl_->active || impl_->eof; }

std::size_t TTable::RecordCount() const {
  impl_->RequireActive();
  std::size_t count = 0;
  for (std::size_t n = 0; n < impl_->image.recordCount(); ++n) count += impl_->Passes(n) ? 1 : 0;
  return count;
}

void TTable::Append() {
  impl_->RequireActive();
  impl_->EndEditing();
  impl_->StartInsert();
}

void TTable::Edit() {
  Impl& t = *impl_;
  t.RequireActive();
  if (t.state != TDataSetState::dsBrowse) return;
  if (t.current == kNone) {
    t.StartInsert();
    return;
  }
  t.buffer = std::string(t.Record(t.current));
  t.editing = t.current;
  t.modified = false;
  t.state = TDataSetState::dsEdit;
}

void TTable::Post() {
  Impl& t = *impl_;
  if (t.state != TDataSetState::dsEdit && t.state != TDataSetState::dsInsert) {
    throw UserError(kNotEditing);
  }
  t.StoreRecord();
}

void TTable::Cancel() {
  if (impl_->state == TDataSetState::dsEdit || impl_->state == TDataSetState::dsInsert) {
    impl_->DropRecord();
  }
}

TDataSetState TTable::State() const { return impl_->state; }

TField TTable::FieldByName(std::string_view name) {
  Impl& t = *impl_;
  t.RequireActive();
  for (std::size_t i = 0; i < t.visibleFields.size(); ++i) {
    if (text::SameTextIgnoringCase(t.visibleFields[i].Name, name)) return TField(this, i);
  }
  NoSuchField(name);
}

const std::vector<TFieldDef>& TTable::Fields() const { return impl_->visibleFields; }

void TTable::SetFilter(std::string_view expression) {
  impl_->filter = std::string(expression);
  if (impl_->active && impl_->filtered) {
    impl_->EndEditing();
    impl_->ApplyFilter();
    impl_->First();
  }
}

const std::string& TTable::Filter() const { return impl_->filter; }

void TTable::SetFiltered(bool filtered) {
  Impl& t = *impl_;
  if (filtered == t.filtered) return;
  if (t.active) {
    t.EndEditing();
    t.filtered = filtered;
    try {
      t.ApplyFilter();
    } catch (...) {
      t.filtered = false;
      throw;
    }
    t.First();
  } else {
    t.filtered = filtered;
  }
}

bool TTable::Filtered() const { return impl_->filtered; }

}  // namespace tables
