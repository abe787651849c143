-- description: Order lines with any of the quantities ticked (NFIXPICKC)
-- connection: Provider=SQLite;Data Source=sample.db
SELECT order_id, line_no, product_id, quantity
FROM order_lines
WHERE quantity IN ?NFIXPICKC_Quantities||{1,2,3,5,8,13}?
ORDER BY quantity, order_id
