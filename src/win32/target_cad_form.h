#pragma once
// TTargetCADForm: the dialog in which the user keeps the list of target CAD programs and
// chooses one. Created hidden at start; shown modally by the "CAD 変更" buttons.
#include <windows.h>

#include <optional>
#include <string>

#include "app/target_cad_list.h"
#include "ports/target_cad_dialog.h"

namespace tesnova {

class TargetCadForm : public TargetCadDialog {
 public:
  TargetCadForm(HINSTANCE instance, HWND owner, const std::filesystem::path& folder);
  ~TargetCadForm() override;
  TargetCadForm(const TargetCadForm&) = delete;
  TargetCadForm& operator=(const TargetCadForm&) = delete;

  std::optional<TargetCadChoice> ShowModal(std::string_view preselectProgId) override;

 private:
  enum class Result { kOpen, kOk, kCancel };

  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM w, LPARAM l);
  LRESULT Handle(UINT message, WPARAM w, LPARAM l);
  HWND Item(const char* name) const;
  std::string FieldText(const char* name) const;
  void SetFieldText(const char* name, const std::string& text);
  void FormShow();
  void FillList();
  // Names and ProgIDs in two aligned columns, scrolled sideways when a line is longer than the
  // list is wide.
  void LayOutColumns();
  void FillFieldsFromSelection();
  void OnCommand(const std::string& name, int code);
  void Run(void (TargetCadForm::*action)());
  void Add();
  void Delete();
  void Change();
  int Scale(int v) const { return MulDiv(v, dpi_, 96); }

  HWND owner_;
  HWND anchor_ = nullptr;
  HWND hwnd_ = nullptr;
  int dpi_ = 96;
  TargetCadList list_;
  std::string preselect_;
  Result result_ = Result::kOpen;
};

}  // namespace tesnova
