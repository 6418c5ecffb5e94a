2
[Dialog]
4
	"Main"
Left	120
Flags	-1
Position	Å@
[ToolBar-Edit]
0
