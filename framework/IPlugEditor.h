#pragma once

// What the plug-in base and its bindings need from the editor (the graphics
// object that owns the controls). The plug-in base owns the attached editor
// and deletes it in its destructor.
//
// Thread use: SetParamFromHost and SetControlValueFromHost may run on the
// host's parameter or audio thread while the base's lock is held; they only
// store values and mark controls dirty. Everything else runs on the UI thread.
class IPlugEditor {
public:
  virtual ~IPlugEditor() = default;

  // For every control bound to paramIndex: store value and mark it dirty when
  // it changed; for each control's auxiliary bindings, the first one bound to
  // paramIndex gets the value too. When normalized is false, value is a real
  // value and is first converted with the parameter's normalisation (clamped
  // into the parameter's bounds).
  virtual void SetParamFromHost(int paramIndex, double value, bool normalized) = 0;

  // Creates the drawing surfaces at the current size.
  virtual void PrepareSurfaces() = 0;

  virtual int Width() const = 0;
  virtual int Height() const = 0;

  // Number of controls; a control's index in the list is its identity.
  virtual int NumControls() const = 0;
  // Stores value into one control by index and marks it dirty when it
  // differs from the stored one (used for displays that are not parameters,
  // such as a meter written from the audio thread). Indices outside the list
  // are ignored.
  virtual void SetControlValueFromHost(int controlIndex, double value) = 0;

  // Opens the editor window as a child of the host's parent window; returns
  // the window handle, or null when no window could be opened.
  virtual void* OpenEditorWindow(void* parent) = 0;
  virtual void CloseEditorWindow() = 0;
  virtual bool IsEditorOpen() const = 0;
  // Called often on the UI thread by hosts that give the editor no timer of
  // its own (VST2's effEditIdle): a backend without one handles its window's
  // events and runs its redraw tick here. Nothing by default.
  virtual void Idle() {}
};
