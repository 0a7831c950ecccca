#include "IMenuTree.h"

#include <cstdio>

int IMenuTree::AddItem(const char* text, int flags) {
  IMenuEntry entry;
  entry.text = text ? text : "";
  entry.flags = flags;
  mEntries.push_back(std::move(entry));
  return NumEntries() - 1;
}

int IMenuTree::AddSubmenu(const char* text, IMenuTree* submenu, int flags) {
  IMenuEntry entry;
  entry.text = text ? text : "";
  entry.submenu.reset(submenu);
  entry.flags = flags;
  mEntries.push_back(std::move(entry));
  return NumEntries() - 1;
}

int IMenuTree::AddSeparator() {
  return AddItem("", IMenuEntry::Separator);
}

const IMenuEntry* IMenuTree::Entry(int index) const {
  if (index < 0 || index >= NumEntries()) return nullptr;
  return &mEntries[static_cast<std::size_t>(index)];
}

IMenuEntry* IMenuTree::Entry(int index) {
  if (index < 0 || index >= NumEntries()) return nullptr;
  return &mEntries[static_cast<std::size_t>(index)];
}

std::string IMenuTree::Label(int index) const {
  const IMenuEntry* entry = Entry(index);
  if (!entry) return std::string();
  static const char* const kFormats[] = {"%1d: %s", "%02d: %s", "%03d: %s"};
  if (mPrefixStyle < PrefixOneDigit || mPrefixStyle > PrefixThreeDigits) return entry->text;
  char label[512];
  std::snprintf(label, sizeof(label), kFormats[mPrefixStyle - 1], index + 1, entry->text.c_str());
  return label;
}
