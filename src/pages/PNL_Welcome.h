#pragma once
// The first page: a greeting, four short texts about the product and eight
// words that drift and bounce over the picture on the left.

#include <array>
#include <cstdint>

#include "pages/Frame_Panel.h"
#include "ui/Application.h"
#include "ui/ExtCtrls.h"
#include "ui/StdCtrls.h"

class TPnlWelcome : public TFramePanel {
 public:
  static constexpr int WordCount = 8;

  TPnlWelcome(TComponent* owner, TPageHost& host);
  std::string ClassName() const override { return "TPnlWelcome"; }

  void SetupButtons(tMvButtonBar& bar) override;

  TImage* Image1 = nullptr;
  TLabel* Label1 = nullptr;
  TStaticText* StaticText1 = nullptr;
  TStaticText* StaticText2 = nullptr;
  TStaticText* StaticText3 = nullptr;
  TStaticText* StaticText6 = nullptr;
  TLabel* Label2 = nullptr;
  TLabel* Label3 = nullptr;
  TTimer* Timer1 = nullptr;
  // lblMove1 to lblMove8, by word index from 1.
  std::array<TLabel*, WordCount + 1> lblMove{};

  // Motion of each word, by word index from 1.
  std::array<bool, WordCount + 1> MoveUp{};
  std::array<bool, WordCount + 1> MoveLeft{};
  std::array<uint8_t, WordCount + 1> StepY{};
  std::array<uint8_t, WordCount + 1> StepX{};

  void NextClick(TObject* sender);
  void Timer1Timer(TObject* sender);
  void MoveLabel(int index, TLabel& label);
};
