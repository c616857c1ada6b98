// jet: looks into and changes Jet 4 (Access 2000-2003) database files.
//
// For tests, for users moving their data, and for checks from outside.
// Every subcommand takes --password P; options may stand anywhere.  Errors
// go to stderr with exit status 2 (1 for `check` finding damage).
#include <cmath>
#include <cstdio>
#include <ctime>
#include <iostream>
#include <string>
#include <vector>

#include "platform/jet/database.h"
#include "records/waybill_schema.h"
#include "tools/json.h"

namespace {

const char kUsage[] =
    "usage: jet COMMAND [--password P] ARGS...\n"
    "\n"
    "  tables FILE                 the user tables, one name a line\n"
    "  schema FILE [TABLE]         the columns of every (or one) table\n"
    "  export FILE TABLE           the rows as JSON Lines, in storage order\n"
    "  create FILE                 a new empty database of the program's schema\n"
    "  append FILE TABLE           JSON Lines rows from stdin, in one transaction\n"
    "  update FILE TABLE N JSON    replace the row at 0-based position N\n"
    "  delete FILE TABLE N...      delete the rows at positions N (one transaction)\n"
    "  check FILE                  walk every structure; exit 1 on damage\n"
    "\n"
    "Rows are JSON objects keyed by column name, or arrays in column order.\n"
    "Dates are written as \"yyyy-mm-ddThh:mm:ss\", binary values in base64.\n";

int fail(const std::string& message) {
  std::cerr << "jet: " << message << "\n";
  return 2;
}

std::string isoDate(double days) {
  // Days since 1899-12-30; the fraction is the time of day, whose sign
  // Access keeps positive before the epoch.
  double whole = std::trunc(days);
  double frac = std::fabs(days - whole);
  long long seconds = std::llround(frac * 86400.0);
  if (seconds >= 86400) {
    seconds -= 86400;
    whole += days < 0 ? -1 : 1;
  }
  long long z = (long long)whole - 25569 + 719468;
  long long era = (z >= 0 ? z : z - 146096) / 146097;
  unsigned doe = unsigned(z - era * 146097);
  unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  long long y = (long long)yoe + era * 400;
  unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  unsigned mp = (5 * doy + 2) / 153;
  unsigned d = doy - (153 * mp + 2) / 5 + 1;
  unsigned m = mp < 10 ? mp + 3 : mp - 9;
  if (m <= 2) ++y;
  char buf[40];
  std::snprintf(buf, sizeof buf, "%04lld-%02u-%02uT%02lld:%02lld:%02lld", y, m, d, seconds / 3600, seconds / 60 % 60,
                seconds % 60);
  return buf;
}

void appendValue(std::string& out, const jet::Value& v) {
  using K = jet::Value::Kind;
  switch (v.kind) {
    case K::kNull: out += "null"; break;
    case K::kBool: out += v.b ? "true" : "false"; break;
    case K::kInt: out += std::to_string(v.i); break;
    case K::kFloat: {
      if (!std::isfinite(v.d)) {
        out += "null";
        break;
      }
      char buf[40];
      for (int precision = 6; precision <= 17; ++precision) {
        std::snprintf(buf, sizeof buf, "%.*g", precision, v.d);
        if (std::strtod(buf, nullptr) == v.d) break;
      }
      out += buf;
      break;
    }
    case K::kCurrency:
    case K::kNumeric: out += v.asText(); break;
    case K::kDateTime: jsonl::appendString(out, isoDate(v.d)); break;
    case K::kBinary: jsonl::appendString(out, jsonl::base64(v.s)); break;
    case K::kText:
    case K::kGuid: jsonl::appendString(out, v.s); break;
  }
}

// Turns a parsed JSON line into values in the table's column order.
bool toValues(const jet::TableDef& t, const jsonl::Record& r, std::vector<jet::Value>& out, std::string& error) {
  out.assign(t.columns.size(), jet::Value::null());
  auto convert = [&](const jet::Column& c, const jsonl::Scalar& s, jet::Value& v) {
    using K = jsonl::Scalar::Kind;
    switch (s.kind) {
      case K::kNull: v = jet::Value::null(); return true;
      case K::kBool: v = jet::Value::boolean(s.b); return true;
      case K::kInt: v = jet::Value::integer(s.i); return true;
      case K::kReal: v = jet::Value::real(s.d); return true;
      case K::kString:
        if (c.type == jet::ColumnType::kBinary || c.type == jet::ColumnType::kOle) {
          std::string bytes;
          if (!jsonl::unbase64(s.s, bytes)) {
            error = "column " + c.name + " takes base64 text";
            return false;
          }
          v = jet::Value::binary(bytes);
        } else {
          v = jet::Value::text(s.s);
        }
        return true;
    }
    return false;
  };
  if (r.isArray) {
    if (r.members.size() > t.columns.size()) {
      error = "the row has more values than the table has columns";
      return false;
    }
    for (size_t k = 0; k < r.members.size(); ++k)
      if (!convert(t.columns[k], r.members[k].second, out[k])) return false;
    return true;
  }
  for (auto& [name, s] : r.members) {
    int k = t.find(name);
    if (k < 0) {
      error = "table " + t.name + " has no column " + name;
      return false;
    }
    if (!convert(t.columns[size_t(k)], s, out[size_t(k)])) return false;
  }
  return true;
}

// The row ids of a table in storage order.
jet::Result<std::vector<jet::RowId>> rowIds(jet::Database& db, const std::string& table) {
  std::vector<jet::RowId> ids;
  jet::Status s = db.scan(table, [&](const jet::RowId& id, std::vector<jet::Value>&) {
    ids.push_back(id);
    return true;
  });
  if (!s.ok()) return s;
  return ids;
}

bool parseIndex(const std::string& s, size_t& n) {
  if (s.empty() || s.find_first_not_of("0123456789") != std::string::npos || s.size() > 9) return false;
  n = std::stoul(s);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args;
  std::string password;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    if (a == "--password" || a == "-p") {
      if (i + 1 >= argc) return fail("--password needs a value");
      password = argv[++i];
    } else if (a.rfind("--password=", 0) == 0) {
      password = a.substr(11);
    } else if (a == "--help" || a == "-h") {
      std::cout << kUsage;
      return 0;
    } else {
      args.push_back(a);
    }
  }
  if (args.empty()) {
    std::cerr << kUsage;
    return 2;
  }
  const std::string cmd = args[0];
  auto need = [&](size_t n) { return args.size() >= n + 1; };

  if (cmd == "create") {
    if (args.size() != 2) return fail("usage: jet create FILE [--password P]");
    std::string pw = password.empty() ? waybill::kDatabasePassword : password;
    jet::Status s = jet::Database::create(args[1], pw, waybill::databaseSchema());
    if (!s.ok()) return fail(s.message());
    return 0;
  }

  static const char* known[] = {"tables", "schema", "export", "append", "update", "delete", "check"};
  if (std::find(std::begin(known), std::end(known), cmd) == std::end(known)) return fail("unknown command " + cmd);
  if (!need(1)) return fail("usage: jet " + cmd + " FILE ...");
  jet::OpenOptions options;
  options.readOnly = cmd == "tables" || cmd == "schema" || cmd == "export" || cmd == "check";
  auto opened = jet::Database::open(args[1], password, options);
  if (!opened.ok()) return fail(opened.status().message());
  jet::Database& db = **opened;

  if (cmd == "tables") {
    auto names = db.tableNames();
    if (!names.ok()) return fail(names.status().message());
    for (auto& n : *names) std::cout << n << "\n";
    return 0;
  }
  if (cmd == "schema") {
    std::vector<std::string> names;
    if (need(2)) {
      names.push_back(args[2]);
    } else {
      auto all = db.tableNames();
      if (!all.ok()) return fail(all.status().message());
      names = *all;
    }
    for (auto& n : names) {
      auto t = db.table(n);
      if (!t.ok()) return fail(t.status().message());
      std::cout << "TABLE " << t->name << " (" << t->rowCount << " rows)\n";
      for (auto& c : t->columns) {
        std::cout << "  " << c.name << "  " << jet::columnTypeName(c.type);
        if (c.type == jet::ColumnType::kText) std::cout << "(" << c.length / 2 << ")";
        if (c.autoNumber()) std::cout << " autonumber";
        std::cout << "\n";
      }
      for (auto& ix : t->indexes) {
        std::cout << "  INDEX " << ix.name << " (";
        for (size_t k = 0; k < ix.columns.size(); ++k) {
          std::string cn = std::to_string(ix.columns[k]);
          for (auto& c : t->columns)
            if (c.number == ix.columns[k]) cn = c.name;
          std::cout << (k ? ", " : "") << cn;
        }
        std::cout << ")" << (ix.type == 1 ? " primary key" : "") << (ix.flags & 1 ? " unique" : "") << "\n";
      }
    }
    return 0;
  }
  if (cmd == "export") {
    if (args.size() != 3) return fail("usage: jet export FILE TABLE");
    auto t = db.table(args[2]);
    if (!t.ok()) return fail(t.status().message());
    std::string line;
    jet::Status s = db.scan(args[2], [&](const jet::RowId&, std::vector<jet::Value>& v) {
      line.clear();
      line += '{';
      for (size_t k = 0; k < v.size(); ++k) {
        if (k) line += ',';
        jsonl::appendString(line, t->columns[k].name);
        line += ':';
        appendValue(line, v[k]);
      }
      line += "}\n";
      std::fwrite(line.data(), 1, line.size(), stdout);
      return true;
    });
    if (!s.ok()) return fail(s.message());
    return std::fflush(stdout) == 0 ? 0 : fail("cannot write the output");
  }
  if (cmd == "check") {
    auto problems = db.check();
    if (!problems.ok()) return fail(problems.status().message());
    for (auto& p : *problems) std::cout << p << "\n";
    if (!problems->empty()) return 1;
    std::cout << "ok\n";
    return 0;
  }
  if (cmd == "append") {
    if (args.size() != 3) return fail("usage: jet append FILE TABLE < rows.jsonl");
    auto t = db.table(args[2]);
    if (!t.ok()) return fail(t.status().message());
    jet::Status s = db.begin();
    if (!s.ok()) return fail(s.message());
    std::string line, error;
    size_t lineNo = 0;
    std::vector<jet::Value> values;
    while (std::getline(std::cin, line)) {
      ++lineNo;
      if (line.find_first_not_of(" \t\r") == std::string::npos) continue;
      jsonl::Record r;
      if (!jsonl::parse(line, r, error) || !toValues(*t, r, values, error)) {
        db.rollback();
        return fail("line " + std::to_string(lineNo) + ": " + error);
      }
      auto id = db.append(args[2], values);
      if (!id.ok()) {
        db.rollback();
        return fail("line " + std::to_string(lineNo) + ": " + id.status().message());
      }
    }
    s = db.commit();
    return s.ok() ? 0 : fail(s.message());
  }
  if (cmd == "update") {
    size_t n;
    if (args.size() != 5 || !parseIndex(args[3], n)) return fail("usage: jet update FILE TABLE N JSON");
    auto t = db.table(args[2]);
    if (!t.ok()) return fail(t.status().message());
    jsonl::Record r;
    std::string error;
    std::vector<jet::Value> values;
    if (!jsonl::parse(args[4], r, error) || !toValues(*t, r, values, error)) return fail(error);
    jet::Status s = db.begin();
    if (!s.ok()) return fail(s.message());
    auto ids = rowIds(db, args[2]);
    if (!ids.ok()) return fail(ids.status().message());
    if (n >= ids->size()) return fail("table " + args[2] + " has no row " + std::to_string(n));
    if (!r.isArray) {
      // An object changes the columns it names and keeps the others.
      auto old = db.fetch(args[2], (*ids)[n]);
      if (!old.ok()) return fail(old.status().message());
      for (size_t k = 0; k < values.size(); ++k) {
        bool named = false;
        for (auto& m : r.members) named |= m.first == t->columns[k].name;
        if (!named) values[k] = old->values[k];
      }
    }
    s = db.update(args[2], (*ids)[n], values);
    if (s.ok()) s = db.commit();
    return s.ok() ? 0 : fail(s.message());
  }
  if (cmd == "delete") {
    if (args.size() < 4) return fail("usage: jet delete FILE TABLE N...");
    jet::Status s = db.begin();
    if (!s.ok()) return fail(s.message());
    auto ids = rowIds(db, args[2]);
    if (!ids.ok()) return fail(ids.status().message());
    for (size_t a = 3; a < args.size(); ++a) {
      size_t n;
      if (!parseIndex(args[a], n)) return fail("not a row position: " + args[a]);
      if (n >= ids->size()) return fail("table " + args[2] + " has no row " + std::to_string(n));
      s = db.remove(args[2], (*ids)[n]);
      if (!s.ok()) return fail(s.message());
    }
    s = db.commit();
    return s.ok() ? 0 : fail(s.message());
  }
  return fail("unknown command " + cmd);
}
