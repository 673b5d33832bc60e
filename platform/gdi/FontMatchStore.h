// fontconfig's answers kept between runs.
//
// Reading fontconfig's configuration (some fifty XML files) costs more than
// anything else a program does before its first frame, yet a program asks
// the same few questions every time it starts: which file holds this family
// in this weight and slant. The store keeps those answers in a small file
// together with what they were drawn from: every configuration file and
// folder fontconfig read, every font folder it scanned, the files answered
// and the environment it heeds. When all of that is as it was, the answers
// still hold (fontconfig trusts its own caches the same way) and the
// configuration need not be read at all; when anything differs, the whole
// file is ignored and rewritten from fresh answers.
#pragma once

#include <map>
#include <string>
#include <tuple>
#include <vector>

namespace win::gdi {

// Where fontconfig found a family: the file, the face in it, and the
// weight and slant the file really has (what it lacks is synthesised).
struct FontMatch {
  std::string File, Family;
  int Index = 0;
  int FcWeight = 80;  // regular
  int FcSlant = 0;    // roman
};

class FontMatchStore {
 public:
  // Reads the store at APath and answers whether its answers hold; a
  // store that is missing, damaged or out of date holds none. Later
  // answers are written to APath either way.
  bool Open(const std::string& APath);
  bool Valid() const { return FValid; }

  // The remembered answer for a family in a weight and slant: false when
  // there is none. AInstalled then says whether fontconfig had the family
  // at all, and AMatch where.
  bool Find(const std::string& AFamily, int AWeight, bool AItalic, bool& AInstalled, FontMatch& AMatch) const;

  // Keeps fontconfig's answer (null: the family is not installed) and
  // writes the store, its sources taken from the configuration in use.
  // Needs fontconfig's configuration read.
  void Remember(const std::string& AFamily, int AWeight, bool AItalic, const FontMatch* AMatch);

 private:
  using Key = std::tuple<std::string, int, bool>;
  struct Answer {
    bool Installed = false;
    FontMatch Match;
  };
  void Save();

  std::string FPath;
  bool FValid = false;
  std::map<Key, Answer> FAnswers;
};

// The program's store, used by every font realised once a path is set.
// Answers whether the store held good answers: a program that gets them
// need not read fontconfig's configuration ahead of time.
bool UseFontMatchStore(const std::string& APath);
FontMatchStore* ActiveFontMatchStore();

}  // namespace win::gdi
