#pragma once

#include "IGraphicsStructs.h"

#include <string>

class IControl;
class IGraphics;
class IParameter;

// A text field the editor draws itself into its surface, for window systems
// without a native field to embed: what is typed (filtered by the kind of the
// parameter being entered), the field's state, and what a commit does with
// the text. The window backend feeds it keys and focus changes and closes it
// on its redraw tick, as the state says.
class ITextEntry {
public:
  enum EState : int {
    EditIdle = 0,
    EditActive = 1,
    EditRefresh = 2,
    EditCancel = 3,
    EditCommit = 4
  };

  // parameter none: free text for the control. The whole initial text is
  // selected, so the first typed character replaces it. The field covers
  // area grown by one pixel to the right and down.
  ITextEntry(IControl* control, IParameter* parameter, const ITextStyle& style, const IBox& area,
             const char* text);

  // One typed character; false when the parameter's kind refuses it or the
  // control's limit is reached.
  bool Type(char c);
  void Backspace();

  EState State() const { return mState; }
  void SetState(EState state) { mState = state; }
  const std::string& Text() const { return mText; }
  const IBox& Area() const { return mArea; }
  IControl* Control() const { return mControl; }

  // The entered text goes to the control: as a normalised value when a
  // parameter is being entered (a decimal number, negated for a negated
  // display; for a stepped parameter with display texts the value whose text
  // it is, else 0), else as text.
  void Commit() const;
  // The field over the surface: entryBackground with the text in
  // entryForeground.
  void Draw(IGraphics& graphics);

private:
  IControl* mControl;
  IParameter* mParameter;
  ITextStyle mStyle;
  IBox mArea;
  std::string mText;
  bool mAllSelected = true;
  EState mState = EditActive;
};
