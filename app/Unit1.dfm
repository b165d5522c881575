object Form1: TForm1
  Left = 0
  Top = 0
  Caption = 'Kexora VCL - HighDPI - Per-Control Styling - Demo'
  ClientHeight = 450
  ClientWidth = 782
  Color = clBtnFace
  Constraints.MinHeight = 300
  Constraints.MinWidth = 400
  Font.Color = clWindowText
  Font.Height = -11
  Font.Name = 'Tahoma'
  Font.Style = []
  Position = poScreenCenter
  PixelsPerInch = 96
end
