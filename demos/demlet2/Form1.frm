' Demlet2's form. Kestrix1 keeps every property at the control's read
' default: only its link name, "Kestrix", matters here.
Form Form1
    Caption = "Demlet2.EXE"
    ClientWidth = 11070
    ClientHeight = 1230
    Begin TextBox Text1
        Text = ""
        Left = 120
        Top = 600
        Width = 10815
        Height = 375
        TabIndex = 0
        FontName = "ＭＳ Ｐゴシック"
        FontSize = 11.25
    End
    Begin Label Label1(0)
        Caption = "受信データ"
        Left = 120
        Top = 120
        Width = 2415
        Height = 375
        TabIndex = 1
        FontName = "ＭＳ Ｐゴシック"
        FontSize = 14.25
    End
    Begin Label Label1(4)
        Caption = "Kestrixｺﾝﾄﾛｰﾙがﾌｫｰﾑに貼り付けられていますか？（貼り付けるだけでいい）注．実行時は見えなくなる"
        Left = 3480
        Top = 120
        Width = 6375
        Height = 375
        TabIndex = 2
        FontName = "ＭＳ ゴシック"
        FontSize = 9
    End
    Begin Control Kestrix1 "Kestrix32.Kestrix"
        Left = 2640
        Top = 120
        ExtentX = 820
        ExtentY = 741
    End
End
