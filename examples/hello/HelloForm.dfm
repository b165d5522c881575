object HelloForm: THelloForm
  Left = 0
  Top = 0
  Caption = 'Hello, Kexora'
  ClientHeight = 200
  ClientWidth = 360
  Color = clBtnFace
  Font.Color = clWindowText
  Font.Height = -11
  Font.Name = 'Tahoma'
  Font.Style = []
  Position = poScreenCenter
  PixelsPerInch = 96
  object HeaderPanel: TkxPanel
    Left = 0
    Top = 0
    Width = 360
    Height = 64
    Align = alTop
    StyleKind = kxpsToolBar
    BorderStyle = kxpbsBottomBevel
    object TitleLabel: TkxLabel
      Left = 12
      Top = 10
      Caption = 'Hello, Kexora'
      Font.Height = -24
      GlowEffect.Enabled = True
    end
  end
  object GreetingLabel: TkxLabel
    Left = 16
    Top = 84
    Caption = 'Press the button.'
  end
  object ShoutCheckBox: TCheckBox
    Left = 16
    Top = 116
    Width = 160
    Height = 17
    Caption = 'Shout'
    TabOrder = 1
  end
  object GreetButton: TButton
    Left = 16
    Top = 148
    Width = 120
    Height = 28
    Caption = '&Greet'
    Default = True
    TabOrder = 0
    OnClick = GreetButtonClick
  end
end
