# Prints the duplicate score of every contract, result and vulnerability as Debian's `deal` package
# scores it, once from its score table and once from its formula:
#   level strain doubling vulnerable tricks tableScore formulaScore
# strain 0..4 = spades, hearts, diamonds, clubs, notrump; doubling 0..2; vulnerable 0/1.
# Usage: tclsh score_oracle.tcl /usr/share/deal/lib/score.tcl
source [lindex $argv 0]
set strains {spades hearts diamonds clubs notrump}
set doublings {{} doubled redoubled}
set vulnerabilities {nonvul vul}
for {set level 1} {$level <= 7} {incr level} {
    for {set strain 0} {$strain < 5} {incr strain} {
        for {set doubled 0} {$doubled < 3} {incr doubled} {
            set contract [list $level [lindex $strains $strain]]
            if {$doubled > 0} { lappend contract [lindex $doublings $doubled] }
            for {set vul 0} {$vul < 2} {incr vul} {
                set vulword [lindex $vulnerabilities $vul]
                for {set tricks 0} {$tricks <= 13} {incr tricks} {
                    puts "$level $strain $doubled $vul $tricks [score $contract $vulword $tricks]\
                          [score::score $contract $vulword $tricks]"
                }
            }
        }
    }
}
