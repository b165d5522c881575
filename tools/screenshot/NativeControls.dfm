object NativeControlsForm: TForm
  Left = 0
  Top = 0
  Caption = 'Native controls'
  ClientHeight = 300
  ClientWidth = 420
  Color = clBtnFace
  Font.Color = clWindowText
  Font.Height = -11
  Font.Name = 'Tahoma'
  Font.Style = []
  PixelsPerInch = 96
  object EditPlain: TEdit
    Left = 8
    Top = 8
    Width = 180
    Height = 21
    TabOrder = 0
    Text = 'Plain edit, gypsy jumps'
  end
  object EditPassword: TEdit
    Left = 8
    Top = 36
    Width = 180
    Height = 21
    PasswordChar = '*'
    TabOrder = 1
    Text = 'secret'
  end
  object EditReadOnly: TEdit
    Left = 8
    Top = 64
    Width = 180
    Height = 21
    ReadOnly = True
    TabOrder = 2
    Text = 'Read-only'
  end
  object EditDisabled: TEdit
    Left = 8
    Top = 92
    Width = 180
    Height = 21
    Enabled = False
    TabOrder = 3
    Text = 'Disabled'
  end
  object EditRight: TEdit
    Left = 8
    Top = 120
    Width = 180
    Height = 21
    Alignment = taRightJustify
    TabOrder = 4
    Text = '1,234.50'
  end
  object EditTime: TMaskEdit
    Left = 8
    Top = 148
    Width = 88
    Height = 21
    EditMask = '!90:00:00;1; '
    TabOrder = 5
    Text = '12:34:56'
  end
  object EditDate: TMaskEdit
    Left = 100
    Top = 148
    Width = 88
    Height = 21
    EditMask = '!99/99/9999;1;_'
    TabOrder = 6
    Text = '03/15/2024'
  end
  object MemoWrapped: TMemo
    Left = 200
    Top = 8
    Width = 212
    Height = 161
    Lines.Strings = (
      'A wrapped memo with a vertical scroll bar. The quick brown fox jumps over the lazy dog.'
      'Second paragraph: descenders gjpqy and capitals ABC.'
      'Third'
      'Fourth'
      'Fifth'
      'Sixth'
      'Seventh'
      'Eighth'
      'Ninth')
    ScrollBars = ssVertical
    TabOrder = 7
  end
end
