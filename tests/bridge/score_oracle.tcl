# Prints "level strain doubling vulnerable tricks tableScore formulaScore" for every contract, result and
# vulnerability as Debian's `deal` package scores them, from its score table and from its formula; strain 0..4 =
# spades, hearts, diamonds, clubs, notrump. Usage: tclsh score_oracle.tcl /usr/share/deal/lib/score.tcl
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
