#pragma once

#include <memory>
#include <string>
#include <vector>

class IMenuTree;

// One entry of a popup menu.
struct IMenuEntry {
  enum EFlags : int { Greyed = 1, Disabled = 2, Checked = 4, Separator = 8 };

  std::string text;
  std::unique_ptr<IMenuTree> submenu; // none for a plain entry
  int flags = 0;
};

// A popup menu as the editor hands it to the window's ShowMenu: entries,
// optional submenus, and after showing it the index the user chose (-1 none)
// in the menu that holds the choice.
class IMenuTree {
public:
  enum EPrefix : int {
    PrefixNone = 0,
    PrefixOneDigit = 1,
    PrefixTwoDigits = 2,
    PrefixThreeDigits = 3
  };

  explicit IMenuTree(int prefixStyle = PrefixNone) : mPrefixStyle(prefixStyle) {}
  IMenuTree(const IMenuTree&) = delete;
  IMenuTree& operator=(const IMenuTree&) = delete;

  // Appends an entry; returns its index.
  int AddItem(const char* text, int flags = 0);
  // Appends an entry that opens submenu (owned from now on).
  int AddSubmenu(const char* text, IMenuTree* submenu, int flags = 0);
  int AddSeparator();

  int NumEntries() const { return static_cast<int>(mEntries.size()); }
  // Null outside the list.
  const IMenuEntry* Entry(int index) const;
  IMenuEntry* Entry(int index);

  // The text a window shows for the entry: the prefix style applied to the
  // 1-based position and the text ("%1d: %s", "%02d: %s", "%03d: %s").
  std::string Label(int index) const;

  int PrefixStyle() const { return mPrefixStyle; }
  int ChosenIndex() const { return mChosenIndex; }
  void SetChosenIndex(int index) { mChosenIndex = index; }

private:
  int mPrefixStyle;
  int mChosenIndex = -1;
  std::vector<IMenuEntry> mEntries;
};
