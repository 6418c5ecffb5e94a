1
[UserBar]
2
A	"x	y"
B	$1F
