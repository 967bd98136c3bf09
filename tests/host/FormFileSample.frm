' Kestrix saved form
Form DragDropFrm
    Caption = "ドラッグ＆ドロップ"
    ClientWidth = 4680
    ClientHeight = 3195
    FontName = "ＭＳ Ｐゴシック"
    FontSize = 9
    Begin ListBox List1
        Left = 120
        Top = 120
        Width = 4455
        Height = 2220
        TabIndex = 0
        Sorted = False
    End
    Begin CommandButton Command1(0)
        Caption = "OK"
        TabIndex = 1
    End
    Begin Control Kestrix1 "Kestrix32.Kestrix"
        Left = 4080
        Top = 2400
        Bag targetcontrols = "DragDropFrm,Command1,List1"
        Bag debugmode = False
        Bag targethandle = 0
    End
End
