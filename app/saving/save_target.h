#pragma once
// Which form Save As writes and to which file, from the path the save dialog gave. The
// extension is looked for in the file name only (behind the last '\' or '/'), so a dot in a
// folder name never moves the file elsewhere.

#include <string>
#include <string_view>

namespace orla {

enum class SaveForm { Xml, Csv };

struct SaveTarget {
  SaveForm form = SaveForm::Xml;
  std::string path;
  // The path differs from the one chosen, so the save dialog's own overwrite question did
  // not cover it.
  bool renamed = false;
};

// "csv" behind the file name's last '.', in any letter case: CSV to the path as chosen.
// "xml" likewise: XML as chosen. Any other extension is replaced by "xml"; a name without a
// '.' gets ".xml" appended.
SaveTarget ChooseSaveTarget(std::string_view chosenPath);

// The file name of `path`, behind its last '\' or '/': what the question before replacing a
// renamed target names, since the folder is the one the operator chose.
std::string_view FileNameOf(std::string_view path);

// A renamed target that already exists is replaced only after the operator agreed.
inline bool MustAskBeforeReplacing(const SaveTarget& target, bool targetExists) {
  return target.renamed && targetExists;
}

}  // namespace orla
