3
[]
1
Own	9
[\]
1
	"x"
[\\Nested\]
1
v	1
