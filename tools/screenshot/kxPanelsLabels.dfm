object PanelsLabelsForm: TForm
  Left = 0
  Top = 0
  Caption = 'Panels and labels'
  ClientHeight = 392
  ClientWidth = 556
  Color = clBtnFace
  Font.Color = clWindowText
  Font.Height = -11
  Font.Name = 'Tahoma'
  Font.Style = []
  PixelsPerInch = 96
  object Back: TkxPanel
    Left = 0
    Top = 0
    Width = 556
    Height = 392
    Align = alClient
    StyleKind = kxpsFormBackground
    object PanelPlain: TkxPanel
      Left = 8
      Top = 8
      Width = 128
      Height = 56
      BorderStyle = kxpbsRaisedBevel
      ShowCaption = True
      Caption = 'kxpsPanel'
    end
    object PanelToolBar: TkxPanel
      Left = 144
      Top = 8
      Width = 128
      Height = 56
      StyleKind = kxpsToolBar
      BorderStyle = kxpbsBottomShadowLine
      ShowCaption = True
      Caption = 'kxpsToolBar'
    end
    object PanelHeader: TkxPanel
      Left = 280
      Top = 8
      Width = 128
      Height = 56
      StyleKind = kxpsHeader
      ShowCaption = True
      Caption = 'kxpsHeader'
    end
    object PanelFormBackground: TkxPanel
      Left = 416
      Top = 8
      Width = 128
      Height = 56
      StyleKind = kxpsFormBackground
      BorderStyle = kxpbsFlat
      ShowCaption = True
      Caption = 'kxpsFormBackground'
    end
    object PanelTransparent: TkxPanel
      Left = 8
      Top = 72
      Width = 128
      Height = 56
      StyleKind = kxpsTransparent
      BorderStyle = kxpbsLowered
      ShowCaption = True
      Caption = 'kxpsTransparent'
    end
    object PanelEdit: TkxPanel
      Left = 280
      Top = 72
      Width = 128
      Height = 56
      StyleKind = kxpsEdit
      ShowCaption = True
      Caption = 'kxpsEdit'
    end
    object PanelTabSheet: TkxPanel
      Left = 416
      Top = 72
      Width = 128
      Height = 56
      StyleKind = kxpsTabSheet
      ShowCaption = True
      Caption = 'kxpsTabSheet'
    end
    object BorderTop: TkxPanel
      Left = 8
      Top = 136
      Width = 60
      Height = 40
      BorderStyle = kxpbsTopBevel
    end
    object BorderBottom: TkxPanel
      Left = 76
      Top = 136
      Width = 60
      Height = 40
      BorderStyle = kxpbsBottomBevel
    end
    object BorderLeft: TkxPanel
      Left = 144
      Top = 136
      Width = 60
      Height = 40
      BorderStyle = kxpbsLeftBevel
    end
    object BorderRight: TkxPanel
      Left = 212
      Top = 136
      Width = 60
      Height = 40
      BorderStyle = kxpbsRightBevel
    end
    object BorderHorzCenter: TkxPanel
      Left = 280
      Top = 136
      Width = 60
      Height = 40
      BorderStyle = kxpbsHorzCenterBevel
    end
    object BorderVertCenter: TkxPanel
      Left = 348
      Top = 136
      Width = 60
      Height = 40
      BorderStyle = kxpbsVertCenterBevel
    end
    object BorderLoweredBevel: TkxPanel
      Left = 416
      Top = 136
      Width = 60
      Height = 40
      BorderStyle = kxpbsLoweredBevel
    end
    object BorderRaised: TkxPanel
      Left = 484
      Top = 136
      Width = 60
      Height = 40
      BorderStyle = kxpbsRaised
    end
    object PanelGlowCaption: TkxPanel
      Left = 8
      Top = 184
      Width = 264
      Height = 40
      BorderStyle = kxpbsFlat
      ShowCaption = True
      CaptionGlowEffect.Enabled = True
      Alignment = taLeftJustify
      Caption = 'Panel caption with glow, left'
    end
    object PanelWrapCaption: TkxPanel
      Left = 280
      Top = 184
      Width = 264
      Height = 40
      BorderStyle = kxpbsFlat
      ShowCaption = True
      Alignment = taRightJustify
      WordWrap = True
      Caption = 'A wrapped panel caption aligned to the right, on two lines'
    end
    object LabelGlow: TkxLabel
      Left = 8
      Top = 232
      GlowEffect.Enabled = True
      Caption = 'Glowing label'
      Font.Color = clWindowText
      Font.Height = -16
      Font.Name = 'Tahoma'
      Font.Style = [fsBold]
      ParentFont = False
    end
    object LabelWrap: TkxLabel
      Left = 8
      Top = 272
      Width = 150
      Height = 17
      WordWrap = True
      Caption = 'This label wraps its words onto several lines within its width.'
    end
    object LabelWrapGlow: TkxLabel
      Left = 8
      Top = 320
      Width = 180
      Height = 17
      GlowEffect.Enabled = True
      WordWrap = True
      Caption = 'A glowing, word-wrapped, auto-sized label keeps its size.'
    end
    object AlignPanel: TkxPanel
      Left = 200
      Top = 232
      Width = 180
      Height = 96
      BorderStyle = kxpbsFlat
      object LabelLeft: TkxLabel
        Left = 4
        Top = 4
        Width = 172
        Height = 20
        AutoSize = False
        Caption = 'Left aligned'
      end
      object LabelCenter: TkxLabel
        Left = 4
        Top = 26
        Width = 172
        Height = 20
        AutoSize = False
        Alignment = taCenter
        Caption = 'Centred'
      end
      object LabelRight: TkxLabel
        Left = 4
        Top = 48
        Width = 172
        Height = 20
        AutoSize = False
        Alignment = taRightJustify
        Caption = 'Right aligned'
      end
      object LabelRightGlow: TkxLabel
        Left = 4
        Top = 68
        Width = 172
        Height = 26
        AutoSize = False
        Alignment = taRightJustify
        GlowEffect.Enabled = True
        Caption = 'Right, glowing'
      end
    end
    object LabelEllipsis: TkxLabel
      Left = 392
      Top = 232
      Width = 150
      Height = 17
      AutoSize = False
      ShowEllipsis = True
      Caption = 'An end ellipsis shortens text that does not fit its width'
    end
    object VertPanel: TkxPanel
      Left = 392
      Top = 256
      Width = 152
      Height = 72
      StyleKind = kxpsEdit
      object LabelVCenter: TkxLabel
        Left = 4
        Top = 4
        Width = 70
        Height = 64
        AutoSize = False
        VertAlignment = kxvtaCenter
        Caption = 'Middle'
      end
      object LabelVBottom: TkxLabel
        Left = 78
        Top = 4
        Width = 70
        Height = 64
        AutoSize = False
        Alignment = taRightJustify
        VertAlignment = kxvtaBottom
        Caption = 'Bottom'
      end
    end
    object LabelAccel: TkxLabel
      Left = 200
      Top = 340
      Caption = '&Accelerator underlined'
    end
    object LabelNoAccel: TkxLabel
      Left = 392
      Top = 340
      ShowAccelChar = False
      Caption = 'No prefix: &shown'
    end
  end
end
