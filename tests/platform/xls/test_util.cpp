#include "tests/platform/xls/test_util.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

namespace xlstest {

bool exists(const std::string& path) { return std::filesystem::exists(path); }

std::vector<std::string> filesIn(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(folder)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

int run(const std::string& command, std::string* output) { return testfiles::run(command + " 2>&1", output); }

std::string shellQuote(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

void makeInputs(const std::string& folder) {
  std::string out;
  int rc = run("/usr/bin/python3 " SOURCE_DIR "/tests/platform/xls/make_inputs.py " + shellQuote(folder), &out);
  ASSERT_EQ(rc, 0) << out;
}

namespace {

std::string jsonString(const std::string& s) {
  std::string j = "\"";
  for (unsigned char c : s) {
    if (c == '"' || c == '\\') {
      j += '\\';
      j += static_cast<char>(c);
    } else if (c < 0x20) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\u%04x", c);
      j += buf;
    } else {
      j += static_cast<char>(c);
    }
  }
  return j + "\"";
}

}  // namespace

std::string xlrdMismatch(const std::string& path, const std::string& sheetName, const Rows& rows) {
  std::string json = "[";
  for (std::size_t r = 0; r < rows.size(); ++r) {
    json += r ? ",\n[" : "[";
    for (std::size_t c = 0; c < rows[r].size(); ++c) json += (c ? "," : "") + jsonString(rows[r][c]);
    json += "]";
  }
  json += "]";
  std::string expected = path + ".expected.json";
  writeFile(expected, json);
  std::string out;
  int rc = run("/usr/bin/python3 " SOURCE_DIR "/tests/platform/xls/xlrd_check.py " + shellQuote(path) + " " +
                   shellQuote(sheetName) + " " + shellQuote(expected),
               &out);
  std::filesystem::remove(expected);
  if (rc == 0 && out.empty()) return "";
  return out.empty() ? "xlrd_check.py exited " + std::to_string(rc) : out;
}

Rows parseCsv(const std::string& text) {
  Rows rows;
  std::vector<std::string> row;
  std::string field;
  bool quoted = false, any = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (quoted) {
      if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
        field += '"';
        ++i;
      } else if (c == '"') {
        quoted = false;
      } else {
        field += c;
      }
      continue;
    }
    if (c == '"') {
      quoted = true;
      any = true;
    } else if (c == ',') {
      row.push_back(field);
      field.clear();
      any = true;
    } else if (c == '\n' || c == '\r') {
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      row.push_back(field);
      field.clear();
      rows.push_back(row);
      row.clear();
      any = false;
    } else {
      field += c;
      any = true;
    }
  }
  if (any || !field.empty()) {
    row.push_back(field);
    rows.push_back(row);
  }
  return rows;
}

Rows ssconvertRows(const std::string& path, std::string* log) {
  std::string csv = path + ".csv";
  std::string out;
  int rc = run("ssconvert --export-type=Gnumeric_stf:stf_csv " + shellQuote(path) + " " + shellQuote(csv), &out);
  if (log) *log = out;
  EXPECT_EQ(rc, 0) << out;
  Rows rows = parseCsv(readFile(csv));
  std::filesystem::remove(csv);
  return rows;
}

Rows trimmed(Rows rows) {
  for (auto& r : rows)
    while (!r.empty() && r.back().empty()) r.pop_back();
  while (!rows.empty() && rows.back().empty()) rows.pop_back();
  return rows;
}

uint16_t u16(const std::vector<uint8_t>& d, std::size_t at) {
  return at + 2 <= d.size() ? static_cast<uint16_t>(d[at] | (d[at + 1] << 8)) : 0;
}
uint32_t u32(const std::vector<uint8_t>& d, std::size_t at) {
  return at + 4 <= d.size() ? static_cast<uint32_t>(u16(d, at) | (uint32_t{u16(d, at + 2)} << 16)) : 0;
}

std::string utf8(const std::u16string& s) {
  std::string out;
  for (std::size_t i = 0; i < s.size(); ++i) {
    uint32_t c = s[i];
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < s.size()) c = 0x10000 + ((c - 0xD800) << 10) + (s[++i] - 0xDC00);
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (c >> 18));
      out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

// The compound file as [MS-CFB] describes it, version 3 only (what .xls
// files are).  Every sector must be accounted for exactly once: by the
// stream's chain, the directory's, a FAT or a DIFAT sector, or free.
Compound readCompound(const std::string& file) {
  Compound c;
  std::vector<uint8_t> b(file.begin(), file.end());
  auto problem = [&](std::string p) { c.problems.push_back(std::move(p)); };
  static const uint8_t kSig[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
  if (b.size() < 512 || !std::equal(kSig, kSig + 8, b.begin())) {
    problem("no compound file signature");
    return c;
  }
  if (u16(b, 0x1A) != 3 || u16(b, 0x1E) != 9 || u16(b, 0x20) != 6 || u16(b, 0x1C) != 0xFFFE)
    problem("not a version 3 header with 512-byte sectors");
  if ((b.size() - 512) % 512 != 0) problem("file size is not a whole number of sectors");
  const std::size_t sectors = (b.size() - 512) / 512;
  auto sector = [&](uint32_t s) { return 512 + std::size_t{s} * 512; };
  c.fatSectors = u32(b, 0x2C);
  c.difatSectors = u32(b, 0x48);
  if (u32(b, 0x38) != 4096) problem("mini stream cutoff is not 4096");

  // The FAT sectors' numbers: 109 in the header, then the DIFAT chain.
  std::vector<uint32_t> fatList;
  for (int i = 0; i < 109; ++i) {
    uint32_t s = u32(b, 0x4C + 4 * i);
    if (s != 0xFFFFFFFF) fatList.push_back(s);
  }
  std::vector<uint32_t> difatList;
  uint32_t d = u32(b, 0x44);
  for (uint32_t k = 0; k < c.difatSectors; ++k) {
    if (d >= sectors) {
      problem("DIFAT chain leaves the file");
      break;
    }
    difatList.push_back(d);
    for (int i = 0; i < 127; ++i) {
      uint32_t s = u32(b, sector(d) + 4 * i);
      if (s != 0xFFFFFFFF) fatList.push_back(s);
    }
    d = u32(b, sector(d) + 508);
  }
  if (d != 0xFFFFFFFE && c.difatSectors) problem("DIFAT chain does not end in ENDOFCHAIN");
  if (c.difatSectors == 0 && u32(b, 0x44) != 0xFFFFFFFE) problem("no DIFAT, but the first DIFAT sector is set");
  if (fatList.size() != c.fatSectors) problem("header counts " + std::to_string(c.fatSectors) + " FAT sectors, DIFAT lists " + std::to_string(fatList.size()));
  std::vector<uint32_t> fat;
  for (uint32_t s : fatList) {
    if (s >= sectors) {
      problem("a FAT sector lies beyond the file");
      return c;
    }
    for (int i = 0; i < 128; ++i) fat.push_back(u32(b, sector(s) + 4 * i));
  }
  if (fat.size() < sectors) {
    problem("the FAT does not cover every sector");
    return c;
  }
  std::vector<int> use(sectors, 0);
  for (uint32_t s : fatList) {
    if (fat[s] != 0xFFFFFFFD) problem("FAT sector " + std::to_string(s) + " not marked FATSECT");
    ++use[s];
  }
  for (uint32_t s : difatList) {
    if (fat[s] != 0xFFFFFFFC) problem("DIFAT sector " + std::to_string(s) + " not marked DIFSECT");
    ++use[s];
  }
  auto chain = [&](uint32_t start, const char* what) {
    std::vector<uint32_t> out;
    for (uint32_t s = start; s != 0xFFFFFFFE;) {
      if (s >= sectors || out.size() > sectors) {
        problem(std::string(what) + " chain is broken");
        break;
      }
      out.push_back(s);
      ++use[s];
      s = fat[s];
    }
    return out;
  };
  std::vector<uint32_t> dirChain = chain(u32(b, 0x30), "directory");
  std::vector<uint8_t> dir;
  for (uint32_t s : dirChain) dir.insert(dir.end(), b.begin() + sector(s), b.begin() + sector(s) + 512);
  for (std::size_t e = 0; e + 128 <= dir.size(); e += 128) {
    uint8_t type = dir[e + 0x42];
    if (type == 0) {
      if (u32(dir, e + 0x44) != 0xFFFFFFFF || u32(dir, e + 0x48) != 0xFFFFFFFF || u32(dir, e + 0x4C) != 0xFFFFFFFF)
        problem("a free directory entry has links");
      continue;
    }
    std::u16string name;
    for (std::size_t i = 0; i + 2 < u16(dir, e + 0x40) && i < 64; i += 2) name += static_cast<char16_t>(u16(dir, e + i));
    c.names.push_back(utf8(name));
    if (e == 0 && (type != 5 || name != u"Root Entry")) problem("entry 0 is not the root entry");
    if (type == 2 && name == u"Workbook") {
      uint64_t size = u32(dir, e + 0x78) | (uint64_t{u32(dir, e + 0x7C)} << 32);
      if (size < 4096) problem("the Workbook stream is smaller than 4096 bytes and so would be in the mini stream");
      std::vector<uint32_t> ch = chain(u32(dir, e + 0x74), "Workbook");
      if (ch.size() != (size + 511) / 512) problem("the Workbook chain's length does not match its size");
      for (uint32_t s : ch) c.workbook.insert(c.workbook.end(), b.begin() + sector(s), b.begin() + sector(s) + 512);
      c.workbook.resize(std::min<std::size_t>(c.workbook.size(), size));
    }
  }
  for (std::size_t s = 0; s < sectors; ++s) {
    if (use[s] > 1) problem("sector " + std::to_string(s) + " used twice");
    if (use[s] == 0 && fat[s] != 0xFFFFFFFF) problem("sector " + std::to_string(s) + " unused but not free");
  }
  for (std::size_t s = sectors; s < fat.size(); ++s)
    if (fat[s] != 0xFFFFFFFF) problem("FAT entry past the file's end is not free");
  return c;
}

std::vector<Record> substream(const std::vector<uint8_t>& stream, std::size_t from) {
  std::vector<Record> out;
  std::size_t p = from;
  while (p + 4 <= stream.size()) {
    Record r;
    r.type = u16(stream, p);
    std::size_t n = u16(stream, p + 2);
    r.pos = p;
    if (p + 4 + n > stream.size()) break;
    r.data.assign(stream.begin() + p + 4, stream.begin() + p + 4 + n);
    out.push_back(std::move(r));
    p += 4 + n;
    if (out.back().type == 0x000A) break;
  }
  return out;
}

const Record* findRecord(const std::vector<Record>& records, uint16_t type) {
  for (const Record& r : records)
    if (r.type == type) return &r;
  return nullptr;
}

// The SST as the format documentation tells a reader to take it: strings
// one after the other; a string's header never split from its first
// character; its characters going on in the next CONTINUE after a fresh
// flags byte, which may switch between one and two bytes a character.
Sst readSst(const std::vector<Record>& globals) {
  Sst sst;
  std::size_t i = 0;
  while (i < globals.size() && globals[i].type != 0x00FC) ++i;
  if (i == globals.size()) {
    sst.problem = "no SST record";
    return sst;
  }
  std::vector<const Record*> recs{&globals[i]};
  for (std::size_t k = i + 1; k < globals.size() && globals[k].type == 0x003C; ++k) recs.push_back(&globals[k]);
  for (const Record* r : recs)
    if (r->data.size() > 8224) sst.problem = "a record longer than 8224 bytes";
  sst.total = u32(recs[0]->data, 0);
  sst.unique = u32(recs[0]->data, 4);
  std::size_t rec = 0, at = 8;
  auto left = [&] { return recs[rec]->data.size() - at; };
  auto byte = [&]() -> uint8_t { return recs[rec]->data[at++]; };
  for (uint32_t n = 0; n < sst.unique; ++n) {
    if (left() == 0) {
      if (++rec == recs.size()) {
        sst.problem = "the SST ends before its last string";
        return sst;
      }
      at = 0;
    }
    if (left() < 3) {
      sst.problem = "a string header split across records";
      return sst;
    }
    SstString s;
    s.streamPos = recs[rec]->pos + 4 + at;
    s.offsetInRecord = 4 + at;
    uint16_t length = u16(recs[rec]->data, at);
    at += 2;
    uint8_t flags = byte();
    if (flags & 0x0C) {
      sst.problem = "a string with rich text or Asian phonetic data";
      return sst;
    }
    s.compressed = !(flags & 1);
    bool compressed = s.compressed;
    bool first = true;
    while (s.text.size() < length) {
      if (left() == 0) {
        if (first) {
          sst.problem = "a string's first character is not with its header";
          return sst;
        }
        if (++rec == recs.size()) {
          sst.problem = "the SST ends inside a string";
          return sst;
        }
        at = 0;
        s.splitAt.push_back(s.text.size());
        uint8_t f = byte();
        compressed = !(f & 1);
        s.piecesCompressed.push_back(compressed);
        continue;
      }
      if (compressed) {
        s.text += static_cast<char16_t>(byte());
      } else {
        if (left() < 2) {
          sst.problem = "a record ends inside a two-byte character";
          return sst;
        }
        s.text += static_cast<char16_t>(u16(recs[rec]->data, at));
        at += 2;
      }
      first = false;
    }
    sst.strings.push_back(std::move(s));
  }
  if (rec + 1 != recs.size() || left() != 0) sst.problem = "bytes after the SST's last string";
  return sst;
}

}  // namespace xlstest
