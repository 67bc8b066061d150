// A dBase table on disk, used the way the working tables are used: created
// from field definitions, opened (exclusively or shared), walked from the first
// record, appended to and edited record by record, filtered on one field.
// Field values are Windows-1252 text; trailing blanks are never returned.
//
// The names are those by which the converter has always addressed its tables
// (TTable, FieldByName, AsString...), so that the steps read as they are
// described. Setting a property is a Set... call: SetActive(true) opens.
//
// Crash safety: a table's file on disk is at every moment a complete, valid
// dBase table. CreateTable writes an empty table through a temporary file and
// a rename; the records appended or edited while the table is open are kept in
// memory and written at Close (SetActive(false), or destruction) the same way.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "text/user_error.h"

namespace tables {

enum class TTableType { ttDefault, ttDBase };
enum class TFieldType { ftString, ftInteger, ftBoolean, ftFloat };
enum class TDataSetState { dsInactive, dsBrowse, dsEdit, dsInsert };

struct TFieldDef {
  std::string Name;
  TFieldType DataType = TFieldType::ftString;
  int Size = 0;  // width of a text field; 0 otherwise
  bool Required = false;
};

class TFieldDefs {
 public:
  void Clear() { defs_.clear(); }
  void Add(std::string_view name, TFieldType type, int size = 0, bool required = false);
  const std::vector<TFieldDef>& Items() const { return defs_; }
  std::size_t Count() const { return defs_.size(); }

 private:
  std::vector<TFieldDef> defs_;
};

class TTable;

// A field of the current record, as FieldByName returns it. Valid while the
// table is open.
class TField {
 public:
  // The stored text without trailing blanks and NULs (leading blanks kept);
  // a number as its decimal text; a logical as "True" or "False" (empty when
  // unset). An empty field reads as the empty text.
  std::string AsString() const;
  // A whole number: an integer field, or a text field holding only digits
  // (optionally signed, surrounded by blanks): "03" reads 3. An empty field
  // reads 0. Anything else throws "'%s' no es un valor entero válido".
  std::int32_t AsInteger() const;
  // Logical: "T", "t", "Y", "y" are true; everything else false.
  bool AsBoolean() const;
  double AsFloat() const;

  // Setters need the table in edit or insert state, else they throw
  // "La fuente de datos no está en modo de edición o inserción". A text longer
  // than the field is cut to its width silently.
  void SetAsString(std::string_view cp1252);
  void SetAsInteger(std::int32_t value);
  void SetAsBoolean(bool value);
  void SetAsFloat(double value);

  const std::string& FieldName() const;

 private:
  friend class TTable;
  TField(TTable* table, std::size_t index) : table_(table), index_(index) {}
  TTable* table_;
  std::size_t index_;
};

class TTable {
 public:
  TTable();
  ~TTable();  // closes (writing pending records) but never throws
  TTable(const TTable&) = delete;
  TTable& operator=(const TTable&) = delete;

  // The folder holding the table: a real folder of this machine (the working
  // folder as resolved by WorkingFolder), not a Windows path.
  void SetDatabaseName(std::string_view folder);
  const std::string& DatabaseName() const;
  // "CURSOACAD.DBF", or a bare name such as "CursosT": the file is found in the
  // folder without regard to letter case, ".DBF" added when there is no
  // extension; a file that does not exist keeps the spelling given.
  void SetTableName(std::string_view name);
  const std::string& TableName() const;
  void SetTableType(TTableType type);
  TTableType TableType() const;
  // Exclusive opening: no other process may open the table meanwhile, and
  // opening fails if another process has it open ("... está en uso por otro
  // programa"). Shared opening fails only against an exclusive holder.
  void SetExclusive(bool exclusive);
  bool Exclusive() const;

  TFieldDefs FieldDefs;

  // An empty table with exactly FieldDefs, in order, replacing any file of
  // that name. The table must be closed.
  void CreateTable();

  // Open (true) or close (false); setting the current value does nothing.
  // Opening reads and checks the whole file: a missing table, a file that is
  // not a dBase table or is damaged throws UserError naming table and file.
  // A file cut short (its header claims more records than it holds) is
  // damaged. Closing stores a record still being inserted
  // or edited if it has changes (an untouched new record is dropped), then
  // writes the table if anything changed.
  void SetActive(bool active);
  bool Active() const;
  void Open() { SetActive(true); }
  void Close() { SetActive(false); }

  // Navigation over the visible records (not deleted, passing the filter).
  void First();
  void Next();
  bool Eof() const;
  std::size_t RecordCount() const;  // visible records

  // Append stores a record being inserted or edited if it has changes (an
  // untouched one is dropped), then starts a new blank record at the end
  // (state dsInsert). First and Next do the same with a record in progress. Edit puts the current record in
  // dsEdit; on an empty table it starts a new record. Post stores the record
  // in progress (state back to dsBrowse); with none it throws "La fuente de
  // datos no está en modo de edición o inserción". Cancel drops it.
  void Append();
  void Edit();
  void Post();
  void Cancel();
  TDataSetState State() const;

  // Throws "No se encuentra el campo '%s'" when the table has no such field
  // (names compared without regard to case).
  TField FieldByName(std::string_view name);
  // The table's fields as found on disk (empty while closed).
  const std::vector<TFieldDef>& Fields() const;

  // The one filter form the runs use: PROF= 'value', the value quoted as
  // QuotedStr does (inner quotes doubled). Records pass when the field's text
  // equals the value exactly, letter case included. Any other expression
  // throws when the filter is applied.
  void SetFilter(std::string_view expression);
  const std::string& Filter() const;
  // Turning the filter on moves to the first record that passes it.
  void SetFiltered(bool filtered);
  bool Filtered() const;

  // The file the table is bound to, once resolved (for messages and tests).
  std::string FilePath() const;

 private:
  friend class TField;
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// QuotedStr: the text in single quotes, each inner quote doubled.
std::string QuotedStr(std::string_view s);

}  // namespace tables
