' Demlet1's form. Kestrix1 watches the form, Command1 and List1; every
' other property of it keeps the control's read default.
Form DragDropFrm
    Caption = "Demlet1.EXE"
    ClientWidth = 8910
    ClientHeight = 4260
    FontName = "ＭＳ ゴシック"
    FontSize = 11.25
    FontCharset = 128
    Begin ListBox List1
        Left = 0
        Top = 1680
        Width = 8895
        Height = 1815
        TabIndex = 0
        Sorted = False
        MultiSelect = 0
        FontName = "ＭＳ ゴシック"
        FontSize = 9.75
    End
    Begin CommandButton Command1
        Caption = "クリア"
        Left = 7320
        Top = 3600
        Width = 1455
        Height = 495
        TabIndex = 1
    End
    Begin Label Label1(2)
        Caption = "エラーが発生する時は下記のことを確認して下さい"
        Left = 0
        Top = 120
        Width = 8775
        Height = 255
        TabIndex = 3
        FontName = "ＭＳ ゴシック"
        FontSize = 9
    End
    Begin Label Label1(3)
        Caption = "１．Kestrixｺﾝﾄﾛｰﾙは使用可能ですか？"
        Left = 0
        Top = 360
        Width = 8775
        Height = 255
        TabIndex = 4
        FontName = "ＭＳ ゴシック"
        FontSize = 9
    End
    Begin Label Label1(4)
        Caption = "２．Kestrixｺﾝﾄﾛｰﾙがﾌｫｰﾑに貼り付けられていますか？（貼り付けるだけでいい）注．実行時は見えなくなる"
        Left = 0
        Top = 600
        Width = 8775
        Height = 255
        TabIndex = 5
        FontName = "ＭＳ ゴシック"
        FontSize = 9
    End
    Begin Label Label1(5)
        Caption = "３．Demlet2.EXEが起動されていますか？（複数起動してもいい）"
        Left = 0
        Top = 840
        Width = 8775
        Height = 255
        TabIndex = 6
        FontName = "ＭＳ ゴシック"
        FontSize = 9
    End
    Begin Label Label1(1)
        Caption = "後はこのﾌｫｰﾑにﾌｧｲﾙをﾄﾞﾛｯﾌﾟするとﾌｧｲﾙ名がEXE間でﾃﾞｰﾀ転送されて、Demlet2.EXEのﾌｫｰﾑに表示されます"
        Left = 0
        Top = 1320
        Width = 8775
        Height = 255
        TabIndex = 2
        FontName = "ＭＳ ゴシック"
        FontSize = 9
    End
    Begin Control Kestrix1 "Kestrix32.Kestrix"
        Left = 120
        Top = 3720
        ExtentX = 820
        ExtentY = 741
        Bag targetcontrols = "DragDropFrm,Command1,List1"
    End
End
