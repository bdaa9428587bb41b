# "level strain(0..4 = S H D C NT) doubling vulnerable tricks tableScore formulaScore" by the `deal` package.
source [lindex $argv 0]
for {set level 1} {$level <= 7} {incr level} {
    foreach strain {spades hearts diamonds clubs notrump} s {0 1 2 3 4} {
        foreach doubling {{} doubled redoubled} d {0 1 2} {
            foreach vul {nonvul vul} v {0 1} {
                for {set tricks 0} {$tricks <= 13} {incr tricks} {
                    set contract [concat $level $strain $doubling]
                    puts "$level $s $d $v $tricks [score $contract $vul $tricks] [score::score $contract $vul $tricks]"
                }
            }
        }
    }
}
