1
[ToolBar-•\Ž¦]
1
–¼‘O	"’l"
