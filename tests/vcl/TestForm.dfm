object TestForm: TTestForm
  Left = 120
  Top = 90
  Caption = 'Stored test form'
  ClientHeight = 200
  ClientWidth = 320
  Color = clBtnFace
  Constraints.MinHeight = 150
  Constraints.MinWidth = 200
  Font.Color = clWindowText
  Font.Height = -11
  Font.Name = 'Tahoma'
  Font.Style = []
  KeyPreview = True
  Position = poDesigned
  OnCreate = FormCreate
  PixelsPerInch = 96
  object Panel1: TPanel
    Left = 8
    Top = 8
    Width = 240
    Height = 130
    TabOrder = 0
    object Label1: TLabel
      Left = 8
      Top = 12
      Caption = '&Name'
      FocusControl = CheckBox1
    end
    object CheckBox1: TCheckBox
      Left = 60
      Top = 10
      Width = 120
      Height = 17
      Caption = 'Checked'
      TabOrder = 0
    end
    object Button1: TButton
      Left = 8
      Top = 60
      Width = 75
      Height = 25
      Caption = '&Press'
      Default = True
      TabOrder = 1
      OnClick = Button1Click
    end
  end
  object CancelButton: TButton
    Left = 240
    Top = 160
    Width = 75
    Height = 25
    Cancel = True
    Caption = 'Cancel'
    ModalResult = 2
    TabOrder = 1
  end
end
